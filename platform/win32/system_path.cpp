#include "platform/win32/system_path.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/win32/under_wine.h"
#include "platform/win32/wide_text.h"

namespace platform::win32 {
namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
// What "\\?\" paths may hold in all, less room for a temporary's name.
constexpr std::size_t kLongestPath = 32767 - 64;
constexpr std::size_t kLongestName = 255;

wchar_t upper(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool same_letters(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
           return upper(x) == upper(y);
         });
}

bool is_separator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Whether the name, before its first dot and less the blanks there, is one
// Windows keeps for a device: "CON", "nul.txt" and "COM1 .log" all are.
bool names_a_device(std::wstring_view name) {
  std::wstring_view base = name.substr(0, std::min(name.find(L'.'), name.size()));
  while (!base.empty() && base.back() == L' ') base.remove_suffix(1);
  for (const std::wstring_view device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
    if (same_letters(base, device)) return true;
  }
  if (base.size() != 4) return false;
  const std::wstring_view kind = base.substr(0, 3);
  if (!same_letters(kind, L"COM") && !same_letters(kind, L"LPT")) return false;
  const wchar_t n = base[3];
  // The superscript digits count too.
  return (n >= L'0' && n <= L'9') || n == L'\u00B9' || n == L'\u00B2' || n == L'\u00B3';
}

std::size_t utf8_length(std::wstring_view name) {
  std::size_t bytes = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const wchar_t c = name[i];
    if (c < 0x80) {
      bytes += 1;
    } else if (c < 0x800) {
      bytes += 2;
    } else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < name.size()) {
      bytes += 4;
      ++i;
    } else {
      bytes += 3;
    }
  }
  return bytes;
}

// A path's start: the root it is taken from and what follows it.
struct Start {
  std::wstring root;  // "\\?\C:", "\\?\UNC\server\share"; empty for a relative path
  std::wstring_view rest;
  FileError error = FileError::none;
};

// The root of an absolute path, or nothing (empty root) for a path that is
// relative to the current folder, or to the current folder of a drive ("C:a").
Start start_of(std::wstring_view path) {
  Start s;
  const auto drive = [](std::wstring_view p) {
    return p.size() >= 2 && p[1] == L':' && ((p[0] >= L'A' && p[0] <= L'Z') || (p[0] >= L'a' && p[0] <= L'z'));
  };
  if (path.size() >= 4 && is_separator(path[0]) && is_separator(path[1]) && (path[2] == L'?' || path[2] == L'.') &&
      is_separator(path[3])) {
    // "\\?\" already: its first name is the root ("C:", "UNC\server\share",
    // a volume). "\\.\" names devices, never files to convert.
    if (path[2] == L'.') {
      s.error = FileError::name_not_allowed;
      return s;
    }
    std::wstring_view after = path.substr(4);
    std::size_t end = after.find_first_of(L"\\/");
    if (same_letters(after.substr(0, std::min<std::size_t>(after.size(), 4)), L"UNC\\")) {
      const std::size_t server_end = after.find_first_of(L"\\/", 4);
      end = server_end == std::wstring_view::npos ? server_end : after.find_first_of(L"\\/", server_end + 1);
    }
    end = std::min(end, after.size());
    s.root = std::wstring(kLongPrefix) + std::wstring(after.substr(0, end));
    s.rest = after.substr(end);
  } else if (path.size() >= 2 && is_separator(path[0]) && is_separator(path[1])) {
    // "\\server\share\..."
    const std::size_t server_end = path.find_first_of(L"\\/", 2);
    const std::size_t share_end =
        server_end == std::wstring_view::npos ? server_end : path.find_first_of(L"\\/", server_end + 1);
    const std::size_t end = std::min(share_end, path.size());
    if (server_end == std::wstring_view::npos || server_end == 2 || end == server_end + 1) {
      s.error = FileError::missing;
      return s;
    }
    s.root = std::wstring(kLongPrefix) + L"UNC\\" + std::wstring(path.substr(2, end - 2));
    s.rest = path.substr(end);
  } else if (drive(path) && path.size() >= 3 && is_separator(path[2])) {
    s.root = std::wstring(kLongPrefix) + std::wstring(path.substr(0, 2));
    s.rest = path.substr(2);
  } else {
    s.rest = path;
  }
  for (wchar_t& c : s.root) {
    if (c == L'/') c = L'\\';
  }
  return s;
}

// The folder the system resolves `relative_to` against: the current folder,
// or a drive's own ("C:" in "C:a.txt"), as root and names.
bool current_folder(const wchar_t* of_drive, std::wstring& root, std::vector<std::wstring>& names) {
  std::wstring here(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = of_drive != nullptr ? GetFullPathNameW(of_drive, static_cast<DWORD>(here.size()), here.data(), nullptr)
                                        : GetCurrentDirectoryW(static_cast<DWORD>(here.size()), here.data());
    if (n == 0) return false;
    if (n < here.size()) {
      here.resize(n);
      break;
    }
    here.resize(n);
  }
  const Start s = start_of(here);
  if (s.root.empty() || s.error != FileError::none) return false;
  root = s.root;
  std::wstring_view rest = s.rest;
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find_first_of(L"\\/"), rest.size());
    if (end > 0) names.emplace_back(rest.substr(0, end));
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
  return true;
}

}  // namespace

FileError check_name(std::wstring_view name) {
  // Wine keeps names as UTF-8 on a Linux file system, which allows 255
  // bytes to a name; a longer one is cut short there (another file) rather
  // than refused, so under Wine a name must fit those bytes too.
  if (name.size() > kLongestName || (under_wine() && utf8_length(name) > kLongestName)) {
    return FileError::name_too_long;
  }
  for (const wchar_t c : name) {
    if (c < 0x20 || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos) {
      return FileError::name_not_allowed;
    }
  }
  if (name.empty() || name.back() == L'.' || name.back() == L' ' || names_a_device(name)) {
    return FileError::name_not_allowed;
  }
  return FileError::none;
}

std::wstring SystemPath::whole() const {
  if (name.empty()) return folder;
  return folder.back() == L'\\' ? folder + name : folder + L'\\' + name;
}

SystemPath system_path(std::string_view gb18030) {
  SystemPath out;
  const std::optional<std::wstring> wide = wide_from_gb18030(gb18030);
  if (!wide) {
    out.error = FileError::name_not_carried;
    return out;
  }
  if (wide->empty() || wide->find(L'\0') != std::wstring::npos) {
    out.error = wide->empty() ? FileError::missing : FileError::name_not_allowed;
    return out;
  }
  Start s = start_of(*wide);
  if (s.error != FileError::none) {
    out.error = s.error;
    return out;
  }
  std::vector<std::wstring> names;
  if (s.root.empty()) {
    // Relative: to the current folder, its drive's root ("\a.txt") or the
    // current folder of another drive ("D:a.txt").
    const bool of_drive = s.rest.size() >= 2 && s.rest[1] == L':' && upper(s.rest[0]) >= L'A' && upper(s.rest[0]) <= L'Z';
    const std::wstring drive = of_drive ? std::wstring(s.rest.substr(0, 2)) : std::wstring();
    if (!current_folder(of_drive ? drive.c_str() : nullptr, s.root, names)) {
      out.error = FileError::missing;
      return out;
    }
    if (of_drive) {
      s.rest.remove_prefix(2);
    } else if (!s.rest.empty() && is_separator(s.rest.front())) {
      names.clear();
    }
  }
  // The names as the system resolves them, "." and ".." by their text; each
  // name given is checked, the current folder's are the system's own.
  bool names_folder = s.rest.empty() || is_separator(s.rest.back());
  std::wstring_view rest = s.rest;
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find_first_of(L"\\/"), rest.size());
    const std::wstring_view name = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    if (rest.empty() && (name == L"." || name == L"..")) names_folder = true;
    if (name.empty() || name == L".") continue;
    if (name == L"..") {
      if (!names.empty()) names.pop_back();
      continue;
    }
    if (const FileError e = check_name(name); e != FileError::none) {
      out.error = e;
      return out;
    }
    names.emplace_back(name);
  }
  if (!names_folder && !names.empty()) {
    out.name = std::move(names.back());
    names.pop_back();
  }
  out.folder = s.root;
  for (const std::wstring& name : names) out.folder += L'\\' + name;
  if (names.empty()) out.folder += L'\\';
  if (out.whole().size() > kLongestPath) {
    out = SystemPath{};
    out.error = FileError::name_too_long;
  }
  return out;
}

}  // namespace platform::win32
