#include "platform/qt/errno_file_error.h"

#include <cerrno>

namespace platform::detail {

FileError file_error_of(int error, bool writing) {
  switch (error) {
    case ENOENT:
    case ENOTDIR: return FileError::missing;
    case EACCES:
    case EPERM: return FileError::no_permission;
    case EISDIR: return writing ? FileError::folder_in_the_way : FileError::folder;
    case ENOSPC:
    case EDQUOT: return FileError::no_room;
    case EFBIG: return FileError::too_large;
    case ENAMETOOLONG: return FileError::name_too_long;
    case EROFS: return FileError::read_only;
    case EMFILE:
    case ENFILE: return FileError::too_many_open;
    default: return writing ? FileError::other : FileError::read_error;
  }
}

}  // namespace platform::detail
