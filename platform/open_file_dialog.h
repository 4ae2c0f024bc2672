#pragma once
// The file-open dialog, shown from its request record.
#include "platform/open_file_request.h"

namespace platform {

// Shows the dialog that `request` describes and blocks until it is closed.
// Without an owner no window is disabled meanwhile; with one (a window id),
// only the owner's window waits. True when the user confirmed and the answer
// fits lpstrFile (nMaxFile bytes): then lpstrFile holds one file's full path
// and a zero byte, or the folder, a zero byte, each name with a zero byte,
// and one more zero byte; and the current directory is the chosen folder.
// False after a cancel or a failure; nothing is changed then.
bool open_file_dialog(OpenFileRequest& request);

}  // namespace platform
