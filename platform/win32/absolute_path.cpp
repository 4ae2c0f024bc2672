#include "platform/absolute_path.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {

// The system's own reading ("a.txt", "C:a.txt", "\a.txt", "..\a.txt" each
// have their own); a path it cannot spell stays as it was given, and is
// refused by name when it is converted.
text::Text absolute_path(std::string_view path) {
  const auto wide = win32::wide_from_gb18030(path);
  if (!wide || wide->empty()) return text::Text(path);
  std::wstring full(32768, L'\0');
  const DWORD n = GetFullPathNameW(wide->c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (n == 0 || n >= full.size()) return text::Text(path);
  full.resize(n);
  return win32::gb18030_from_wide(full).value_or(text::Text(path));
}

}  // namespace platform
