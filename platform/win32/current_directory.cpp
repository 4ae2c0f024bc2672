#include "platform/current_directory.h"

#include <windows.h>

#include <optional>
#include <string>

#include "platform/win32/wide_text.h"

namespace platform {
namespace {

// The program reads the directory into this many bytes, the zero included.
constexpr std::size_t kDirectoryBuffer = 260;

}  // namespace

text::Text current_directory() {
  // The system's form may be longer than the program's buffer: read it
  // whole, then apply the buffer's limit to the program's text, whose
  // Chinese characters take two bytes or four where UTF-16 takes one.
  std::wstring wide(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(wide.size()), wide.data());
    if (n == 0) return {};
    if (n < wide.size()) {
      wide.resize(n);
      break;
    }
    wide.resize(n);  // n counts the zero when the buffer was too small
  }
  std::optional<std::string> directory = win32::gb18030_from_wide(wide);
  if (!directory || directory->size() >= kDirectoryBuffer) return {};
  return std::move(*directory);
}

bool set_current_directory(std::string_view directory) {
  // Strict, and whole: a name cut at a zero byte or spelt another way
  // would be another folder.
  const std::optional<std::wstring> wide = win32::wide_from_gb18030(directory);
  if (!wide || wide->empty() || wide->find(L'\0') != std::wstring::npos) return false;
  return SetCurrentDirectoryW(wide->c_str()) != 0;
}

}  // namespace platform
