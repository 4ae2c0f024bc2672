#pragma once
// Why a file could not be read or written, in the terms a user can act on.
// Each side of platform/ translates its system's errors into these.
namespace platform {

enum class FileError : unsigned char {
  none,
  missing,            // the file (or, for an output, its folder) is not there
  no_permission,
  folder,             // a source that is a folder
  not_a_file,         // a source that is a FIFO, device or socket
  read_error,
  changed,            // a source cut short, grown or rewritten while it was read
  no_room,            // disk full or quota
  too_large,          // larger than the system allows for one file
  folder_in_the_way,  // a folder holds the output's name
  name_too_long,
  read_only,          // a read-only file system
  too_many_open,      // the process or the system has no file handle to spare
  name_not_allowed,   // a name the system forbids (Windows: CON, "a.", "a:b", ...)
  name_not_carried,   // a name the system cannot spell (bytes that are no character)
  other,
};

}  // namespace platform
