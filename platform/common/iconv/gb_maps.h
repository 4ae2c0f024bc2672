#pragma once
// What the GBK and GB18030 forms look up beyond gb_tables.h, made from it
// once, when a conversion first needs it: GBK's own two-byte decoding (the
// GB18030 one without GBK's gaps) and both encodings as the decoding's
// inverse, one entry per code point of the Basic Multilingual Plane so that
// writing a character is one look-up.
#include <cstddef>
#include <cstdint>

#include "platform/common/iconv/gb_tables.h"

namespace own_iconv {

struct GbMaps {
  std::uint16_t gbk_decode[kTwoByteCount];  // 0: not a GBK code
  // The code written for each code point, its bytes as one number (as
  // four_byte_code gives them): below 0x100 one byte, below 0x10000 two,
  // else four; 0 when there is none.
  std::uint16_t gbk_encode[0x10000];
  std::uint32_t gb18030_encode[0x10000];
  std::size_t first_run_beyond_bmp;  // in kFourByte

  GbMaps();
};

const GbMaps& gb_maps();

// The character of the four-byte GB18030 code numbered `index`, or 0 for none.
std::uint32_t gb18030_four_byte(std::uint32_t index);

// The character of the two-byte GB18030 code numbered `index` whose table
// entry is 0, or 0 for none.
std::uint32_t gb18030_two_byte_wide(std::size_t index);

// The GB18030 code (as four_byte_code gives it) for a code point beyond
// U+FFFF, or 0 for none.
std::uint32_t gb18030_code_beyond_bmp(const GbMaps& maps, std::uint32_t code_point);

}  // namespace own_iconv
