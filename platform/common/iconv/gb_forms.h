#pragma once
// GBK and GB18030 as the reference iconv reads and writes them. Both take
// ASCII as single bytes and a lead 0x81-0xFE with a trail 0x40-0x7E or
// 0x80-0xFE as a two-byte code; GBK also has 0x80 for U+20AC, GB18030
// four-byte codes instead (a lead, a digit, a lead, a digit). A GB18030
// lead and digit with fewer than four bytes left count as cut, whatever
// the bytes after the digit are. Writing GBK leaves the tag characters
// U+E0000-E007F out without an error.
#include <cstddef>
#include <cstdint>

#include "platform/common/iconv/forms.h"
#include "platform/common/iconv/gb_maps.h"

namespace own_iconv {

constexpr bool is_gb_trail(unsigned b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }
constexpr bool is_gb_digit(unsigned b) { return b >= 0x30 && b <= 0x39; }

// Writes a code as gb_maps.h numbers it.
inline int write_gb_code(std::uint32_t code, unsigned char* to, std::size_t room) {
  if (code < 0x100) {
    to[0] = static_cast<unsigned char>(code);
    return 1;
  }
  if (code < 0x10000) {
    if (room < 2) return kNoRoom;
    to[0] = static_cast<unsigned char>(code >> 8);
    to[1] = static_cast<unsigned char>(code);
    return 2;
  }
  if (room < 4) return kNoRoom;
  to[0] = static_cast<unsigned char>(code >> 24);
  to[1] = static_cast<unsigned char>(code >> 16);
  to[2] = static_cast<unsigned char>(code >> 8);
  to[3] = static_cast<unsigned char>(code);
  return 4;
}

struct Gbk {
  static constexpr bool kUsesMaps = true;
  static constexpr std::size_t kMinRoom = 1;

  static int decode(const GbMaps* maps, const unsigned char* at, std::size_t left, std::uint32_t& code_point) {
    const unsigned lead = at[0];
    if (lead < 0x80) {
      code_point = lead;
      return 1;
    }
    if (lead == 0x80) {
      code_point = 0x20AC;
      return 1;
    }
    if (lead == 0xFF) return kInvalid;
    if (left < 2) return kCut;
    const unsigned trail = at[1];
    if (!is_gb_trail(trail)) return kInvalid;
    const std::uint16_t value = maps->gbk_decode[two_byte_index(lead, trail)];
    if (value == 0) return kInvalid;
    code_point = value;
    return 2;
  }

  static int encode(const GbMaps* maps, std::uint32_t code_point, unsigned char* to, std::size_t room) {
    if (code_point <= 0xFFFF) {
      const std::uint16_t code = maps->gbk_encode[code_point];
      return code == 0 && code_point != 0 ? kUnencodable : write_gb_code(code, to, room);
    }
    return code_point >= 0xE0000 && code_point <= 0xE007F ? 0 : kUnencodable;
  }
};

struct Gb18030 {
  static constexpr bool kUsesMaps = true;
  static constexpr std::size_t kMinRoom = 1;

  static int decode(const GbMaps*, const unsigned char* at, std::size_t left, std::uint32_t& code_point) {
    const unsigned lead = at[0];
    if (lead < 0x80) {
      code_point = lead;
      return 1;
    }
    if (lead == 0x80 || lead == 0xFF) return kInvalid;
    if (left < 2) return kCut;
    const unsigned second = at[1];
    if (is_gb_trail(second)) {
      const std::size_t index = two_byte_index(lead, second);
      const std::uint16_t value = kTwoByte[index];
      code_point = value != 0 ? value : gb18030_two_byte_wide(index);
      return code_point != 0 ? 2 : kInvalid;
    }
    if (!is_gb_digit(second)) return kInvalid;
    if (left < 4) return kCut;
    if (at[2] < 0x81 || at[2] > 0xFE || !is_gb_digit(at[3])) return kInvalid;
    code_point = gb18030_four_byte(four_byte_index(lead, second, at[2], at[3]));
    return code_point != 0 ? 4 : kInvalid;
  }

  static int encode(const GbMaps* maps, std::uint32_t code_point, unsigned char* to, std::size_t room) {
    const std::uint32_t code =
        code_point <= 0xFFFF ? maps->gb18030_encode[code_point] : gb18030_code_beyond_bmp(*maps, code_point);
    return code == 0 && code_point != 0 ? kUnencodable : write_gb_code(code, to, room);
  }
};

}  // namespace own_iconv
