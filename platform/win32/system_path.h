#pragma once
// A path of the program (GB18030) as the wide calls take it: absolute and
// behind "\\?\", so that neither the old 260-character limit nor Windows'
// quiet rewriting of names (a trailing dot dropped, "NUL.txt" taken for the
// null device) applies; split into its folder and the name in it. Or why
// Windows cannot take it, before any file is touched.
#include <string>
#include <string_view>

#include "platform/file_error.h"

namespace platform::win32 {

struct SystemPath {
  std::wstring folder;  // "\\?\C:\books", "\\?\C:\" for a root, "\\?\UNC\server\share\books"
  std::wstring name;    // empty where the path names a folder ("books\", "a\..", "C:\")
  FileError error = FileError::none;

  // The whole path, folder and name.
  std::wstring whole() const;
};

SystemPath system_path(std::string_view gb18030);

// Whether Windows takes `name` as one name in a folder: none of the names
// it keeps for devices (CON, NUL, COM1, "AUX.txt", ...), no character it
// forbids (<>:"/\|?* and the control characters), no trailing dot or blank,
// and not longer than a name may be.
FileError check_name(std::wstring_view name);

}  // namespace platform::win32
