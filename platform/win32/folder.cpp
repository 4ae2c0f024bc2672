#include "platform/folder.h"

#include <windows.h>

#include <optional>
#include <string>

#include "platform/win32/system_path.h"
#include "platform/win32/wide_text.h"

namespace platform {
namespace {

// What a symbolic link leads to: the attributes of the file or folder
// opened through it, or nothing when it leads nowhere.
std::optional<DWORD> target_attributes(const std::wstring& path) {
  // No access asked for: only the attributes are read, which no other
  // program's sharing forbids. Backup semantics open folders too.
  const HANDLE h = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool ok = GetFileInformationByHandle(h, &info) != 0;
  CloseHandle(h);
  if (!ok) return std::nullopt;
  return info.dwFileAttributes;
}

bool is_folder(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

}  // namespace

PathKind path_kind(std::string_view path) {
  const win32::SystemPath system = win32::system_path(path);
  if (system.error != FileError::none) return PathKind::nothing;
  const std::wstring whole = system.whole();
  const DWORD attributes = GetFileAttributesW(whole.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return PathKind::nothing;
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return is_folder(attributes) ? PathKind::folder : PathKind::other;
  // A link names what it leads to; one that leads nowhere names nothing.
  const std::optional<DWORD> target = target_attributes(whole);
  if (!target) return PathKind::nothing;
  return is_folder(*target) ? PathKind::folder : PathKind::other;
}

std::vector<text::Text> regular_files_in(std::string_view folder) {
  std::vector<text::Text> names;
  // Behind "\\?\": a folder deeper than 260 characters is listed too.
  const win32::SystemPath system = win32::system_path(folder);
  if (system.error != FileError::none) return names;
  std::wstring prefix = system.whole();
  if (prefix.back() != L'\\') prefix += L'\\';
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileExW((prefix + L'*').c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                         nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const DWORD attributes = found.dwFileAttributes;
    // "." and ".." are folders too.
    if (is_folder(attributes) || (attributes & FILE_ATTRIBUTE_DEVICE) != 0) continue;
    // A symbolic link counts when it leads to a file. Other reparse points
    // (files kept in the cloud, deduplicated ones) are files as they are;
    // asking what they lead to could fetch them.
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && found.dwReserved0 == IO_REPARSE_TAG_SYMLINK) {
      const std::optional<DWORD> target = target_attributes(prefix + found.cFileName);
      if (!target || is_folder(*target)) continue;
    }
    // A name with an unpaired surrogate has no GB18030 form; any stand-in
    // would name another file, or none.
    if (std::optional<std::string> name = win32::gb18030_from_wide(found.cFileName)) names.push_back(std::move(*name));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

}  // namespace platform
