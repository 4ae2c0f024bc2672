#pragma once
// The system's error codes (GetLastError()) as the errors a user can act on.
#include "platform/file_error.h"

namespace platform::win32 {

// The error for a failed call's code, when reading or when writing.
FileError file_error_of(unsigned long error, bool writing);

}  // namespace platform::win32
