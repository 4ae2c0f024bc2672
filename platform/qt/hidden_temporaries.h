#pragma once
// The hidden temporaries being written (where a file system has no unnamed
// files), so that a program ended by a signal removes them on its way out.
// Used from new_file.cpp; everything here is safe in a signal handler.
namespace platform::detail {

// Notes the temporary `name` (at most 63 bytes) in the folder `folder_fd`:
// a slot to forget it by, or -1 when every slot is taken.
int remember_temporary(int folder_fd, const char* name);
// Once the temporary is gone or has its final name.
void forget_temporary(int slot);

}  // namespace platform::detail
