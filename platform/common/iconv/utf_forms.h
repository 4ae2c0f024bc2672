#pragma once
// UTF-8, UTF-16LE and UTF-32LE as the reference iconv reads and writes them.
// None of them reads or writes a byte order mark: U+FEFF is a character like
// any other. Its UTF-8 is the original one of up to six bytes: lead bytes
// 0xF5-0xFD and values up to 0x7FFFFFFF are read, and written again to
// UTF-8; only the other targets refuse values beyond U+10FFFF. Overlong
// forms and surrogates are invalid, but a character cut at the input's end
// counts as cut as long as the bytes present continue it, whatever it would
// have turned out to be.
#include <cstddef>
#include <cstdint>

#include "platform/common/iconv/forms.h"

namespace own_iconv {

struct Utf8 {
  static constexpr bool kUsesMaps = false;
  static constexpr std::size_t kMinRoom = 1;

  static int decode(const GbMaps*, const unsigned char* at, std::size_t left, std::uint32_t& code_point) {
    const unsigned lead = at[0];
    if (lead < 0x80) {
      code_point = lead;
      return 1;
    }
    // 0x80-0xBF continue a character; 0xC0 and 0xC1 could only start an
    // overlong one; 0xFE and 0xFF start nothing.
    if (lead < 0xC2 || lead > 0xFD) return kInvalid;
    const std::size_t length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : lead < 0xFC ? 5 : 6;
    std::uint32_t value = lead & (0x7Fu >> length);
    const std::size_t have = left < length ? left : length;
    for (std::size_t i = 1; i < have; ++i) {
      if ((at[i] & 0xC0) != 0x80) return kInvalid;
      value = value << 6 | (at[i] & 0x3F);
    }
    if (have < length) return kCut;
    // The least value each length may carry.
    constexpr std::uint32_t kLeast[7] = {0, 0, 0x80, 0x800, 0x10000, 0x200000, 0x4000000};
    if (value < kLeast[length] || (value >= 0xD800 && value <= 0xDFFF)) return kInvalid;
    code_point = value;
    return static_cast<int>(length);
  }

  static int encode(const GbMaps*, std::uint32_t code_point, unsigned char* to, std::size_t room) {
    if (code_point < 0x80) {
      to[0] = static_cast<unsigned char>(code_point);
      return 1;
    }
    const std::size_t length = code_point < 0x800       ? 2
                               : code_point < 0x10000   ? 3
                               : code_point < 0x200000  ? 4
                               : code_point < 0x4000000 ? 5
                                                        : 6;
    if (room < length) return kNoRoom;
    for (std::size_t i = length - 1; i > 0; --i) {
      to[i] = static_cast<unsigned char>(0x80 | (code_point & 0x3F));
      code_point >>= 6;
    }
    to[0] = static_cast<unsigned char>((0xFF00u >> length) | code_point);
    return static_cast<int>(length);
  }
};

struct Utf16Le {
  static constexpr bool kUsesMaps = false;
  static constexpr std::size_t kMinRoom = 2;

  static int decode(const GbMaps*, const unsigned char* at, std::size_t left, std::uint32_t& code_point) {
    if (left < 2) return kCut;
    const std::uint32_t unit = at[0] | std::uint32_t{at[1]} << 8;
    if (unit < 0xD800 || unit > 0xDFFF) {
      code_point = unit;
      return 2;
    }
    if (unit >= 0xDC00) return kInvalid;  // a low surrogate with no high one before it
    if (left < 4) return kCut;
    const std::uint32_t low = at[2] | std::uint32_t{at[3]} << 8;
    if (low < 0xDC00 || low > 0xDFFF) return kInvalid;
    code_point = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    return 4;
  }

  static int encode(const GbMaps*, std::uint32_t code_point, unsigned char* to, std::size_t room) {
    if (code_point < 0x10000) {
      to[0] = static_cast<unsigned char>(code_point);
      to[1] = static_cast<unsigned char>(code_point >> 8);
      return 2;
    }
    if (code_point > 0x10FFFF) return kUnencodable;
    if (room < 4) return kNoRoom;
    const std::uint32_t high = 0xD800 + ((code_point - 0x10000) >> 10);
    const std::uint32_t low = 0xDC00 + (code_point & 0x3FF);
    to[0] = static_cast<unsigned char>(high);
    to[1] = static_cast<unsigned char>(high >> 8);
    to[2] = static_cast<unsigned char>(low);
    to[3] = static_cast<unsigned char>(low >> 8);
    return 4;
  }
};

// Four bytes a character, whatever it is: fewer than four left count as cut
// even when the bytes present could begin no character.
struct Utf32Le {
  static constexpr bool kUsesMaps = false;
  static constexpr std::size_t kMinRoom = 4;

  static int decode(const GbMaps*, const unsigned char* at, std::size_t left, std::uint32_t& code_point) {
    if (left < 4) return kCut;
    const std::uint32_t value =
        at[0] | std::uint32_t{at[1]} << 8 | std::uint32_t{at[2]} << 16 | std::uint32_t{at[3]} << 24;
    if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return kInvalid;
    code_point = value;
    return 4;
  }

  // Only UTF-8 reads values beyond U+10FFFF; no reader gives a surrogate.
  static int encode(const GbMaps*, std::uint32_t code_point, unsigned char* to, std::size_t) {
    if (code_point > 0x10FFFF) return kUnencodable;
    to[0] = static_cast<unsigned char>(code_point);
    to[1] = static_cast<unsigned char>(code_point >> 8);
    to[2] = static_cast<unsigned char>(code_point >> 16);
    to[3] = static_cast<unsigned char>(code_point >> 24);
    return 4;
  }
};

}  // namespace own_iconv
