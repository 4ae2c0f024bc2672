#pragma once
// The length of the GB18030 character at byte i: one byte (ASCII), four (a
// lead byte, then a digit) or two.
#include <cstddef>
#include <string_view>

namespace platform {

inline std::size_t gb18030_char_length(std::string_view t, std::size_t i) {
  if (static_cast<unsigned char>(t[i]) < 0x80) return 1;
  if (i + 1 < t.size() && t[i + 1] >= '0' && t[i + 1] <= '9') return 4;
  return 2;
}

}  // namespace platform
