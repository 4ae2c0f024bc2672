#pragma once
// The system's errno values as the errors a user can act on.
#include "platform/file_error.h"

namespace platform::detail {

// The error for a failed system call's errno, when reading or when writing.
FileError file_error_of(int error, bool writing);

}  // namespace platform::detail
