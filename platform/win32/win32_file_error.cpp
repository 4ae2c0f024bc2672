#include "platform/win32/win32_file_error.h"

#include <windows.h>

namespace platform::win32 {
namespace {
// A user's disk quota used up; mingw-w64's headers leave it out.
constexpr unsigned long kDiskQuotaExceeded = 1295;
}  // namespace

FileError file_error_of(unsigned long error, bool writing) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_DIRECTORY: return FileError::missing;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_PRIVILEGE_NOT_HELD: return FileError::no_permission;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case kDiskQuotaExceeded: return FileError::no_room;
    case ERROR_FILE_TOO_LARGE: return FileError::too_large;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW: return FileError::name_too_long;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME: return FileError::name_not_allowed;
    case ERROR_NO_UNICODE_TRANSLATION: return FileError::name_not_carried;
    case ERROR_WRITE_PROTECT: return FileError::read_only;
    case ERROR_TOO_MANY_OPEN_FILES:
    case ERROR_NO_SYSTEM_RESOURCES: return FileError::too_many_open;
    default: return writing ? FileError::other : FileError::read_error;
  }
}

}  // namespace platform::win32
