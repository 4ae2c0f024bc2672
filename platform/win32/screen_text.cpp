#include <windows.h>

#include "platform/colour.h"
#include "platform/common/gb18030_char.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/window_messages.h"

namespace platform::win32 {

std::wstring screen_text(std::string_view gbk) {
  if (auto whole = wide_from_gb18030(gbk)) return *whole;
  // Character by character, so that one stray byte costs one character.
  std::wstring shown;
  for (std::size_t i = 0; i < gbk.size();) {
    const std::size_t n = std::min(gb18030_char_length(gbk, i), gbk.size() - i);
    if (auto one = wide_from_gb18030(gbk.substr(i, n))) {
      shown += *one;
    } else {
      shown += L'\uFFFD';
    }
    i += n;
  }
  return shown;
}

std::string program_text(std::wstring_view wide) {
  if (auto whole = gb18030_from_wide(wide)) return *whole;
  // An unpaired surrogate, which no text of the program can hold, becomes
  // "?"; the rest stays as it is.
  std::string text;
  for (std::size_t i = 0; i < wide.size();) {
    const bool pair = wide[i] >= 0xD800 && wide[i] <= 0xDBFF && i + 1 < wide.size() &&
                      wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF;
    const std::size_t n = pair ? 2 : 1;
    text += gb18030_from_wide(wide.substr(i, n)).value_or("?");
    i += n;
  }
  return text;
}

COLORREF system_colour(std::uint32_t colour_bgr) {
  return colour_bgr == kButtonFace ? GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(colour_bgr & 0xFFFFFF);
}

HFONT default_font() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

}  // namespace platform::win32
