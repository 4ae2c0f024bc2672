#pragma once
// Text at the Win32 boundary: the system speaks UTF-16, the program GB18030
// inside and UTF-8 on its command line. Converted with our own iconv, so
// that a Windows of any language and code page gives the same answers.
#include <optional>
#include <string>
#include <string_view>

namespace platform::win32 {

// Strict: nothing when `gb18030` is no valid GB18030, as a name carrying
// the bytes of a name that was no valid UTF-8 is: Windows cannot spell it.
std::optional<std::wstring> wide_from_gb18030(std::string_view gb18030);
// Strict: nothing for an unpaired surrogate, which no GB18030 text holds.
std::optional<std::string> gb18030_from_wide(std::wstring_view wide);

// The command line's spelling, UTF-8. An unpaired surrogate becomes the
// three bytes its code would take in UTF-8, which no valid UTF-8 holds: the
// name travels through the program unchanged and is refused only when it
// is to name a file.
std::string utf8_from_wide(std::wstring_view wide);
// The reverse, for the console: those three bytes give the surrogate back,
// and a byte that starts no character U+FFFD.
std::wstring wide_from_utf8(std::string_view utf8);

}  // namespace platform::win32
