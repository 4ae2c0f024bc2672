#pragma once
// Outputs are written under a hidden temporary name beside their final name
// and renamed only when complete, so a reader never sees half a file.
#include <string>

namespace platform {

// Creates a new, empty file beside `final_native` (a UTF-8 path) with a name
// of its own, opened with `access` (O_WRONLY or O_RDWR). Returns the
// descriptor and puts the name into `temporary`; -1 when no file could be made.
int create_temporary_beside(const std::string& final_native, int access, std::string& temporary);

}  // namespace platform
