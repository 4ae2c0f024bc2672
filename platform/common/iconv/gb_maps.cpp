#include "platform/common/iconv/gb_maps.h"

#include <algorithm>

namespace own_iconv {

GbMaps::GbMaps() : gbk_decode{}, gbk_encode{}, gb18030_encode{}, first_run_beyond_bmp(kFourByteCount) {
  std::copy(kTwoByte, kTwoByte + kTwoByteCount, gbk_decode);
  for (std::size_t g = 0; g < kGbkGapCount; ++g) {
    std::fill_n(gbk_decode + kGbkGaps[g].first, kGbkGaps[g].count, std::uint16_t{0});
  }
  for (std::uint16_t c = 0; c < 0x80; ++c) gbk_encode[c] = gb18030_encode[c] = c;
  gbk_encode[0x20AC] = 0x80;  // GBK's one single byte beyond ASCII
  for (std::size_t i = 0; i < kTwoByteCount; ++i) {
    const std::uint32_t code = two_byte_code(i);
    if (kTwoByte[i] != 0) gb18030_encode[kTwoByte[i]] = code;
    if (gbk_decode[i] != 0) gbk_encode[gbk_decode[i]] = static_cast<std::uint16_t>(code);
  }
  // A code point with a two-byte code is written with it; no code point of
  // the plane has two four-byte codes.
  for (std::size_t r = 0; r < kFourByteCount; ++r) {
    const Run& run = kFourByte[r];
    if (run.code_point > 0xFFFF) {
      first_run_beyond_bmp = std::min(first_run_beyond_bmp, r);
      continue;
    }
    for (std::uint32_t k = 0; k < run.count; ++k) {
      std::uint32_t& code = gb18030_encode[run.code_point + k];
      if (code == 0) code = four_byte_code(run.first + k);
    }
  }
}

const GbMaps& gb_maps() {
  static const GbMaps maps;
  return maps;
}

std::uint32_t gb18030_four_byte(std::uint32_t index) {
  const Run* const end = kFourByte + kFourByteCount;
  const Run* run = std::upper_bound(kFourByte, end, index, [](std::uint32_t i, const Run& r) { return i < r.first; });
  if (run == kFourByte) return 0;
  --run;
  return index - run->first < run->count ? run->code_point + (index - run->first) : 0;
}

std::uint32_t gb18030_two_byte_wide(std::size_t index) {
  for (std::size_t w = 0; w < kTwoByteWideCount; ++w) {
    if (kTwoByteWide[w].index == index) return kTwoByteWide[w].code_point;
  }
  return 0;
}

std::uint32_t gb18030_code_beyond_bmp(const GbMaps& maps, std::uint32_t code_point) {
  // The few of them that have a two-byte code are written with it.
  for (std::size_t w = 0; w < kTwoByteWideCount; ++w) {
    if (kTwoByteWide[w].code_point == code_point) return two_byte_code(kTwoByteWide[w].index);
  }
  const Run* const begin = kFourByte + maps.first_run_beyond_bmp;
  const Run* const end = kFourByte + kFourByteCount;
  const Run* run =
      std::upper_bound(begin, end, code_point, [](std::uint32_t c, const Run& r) { return c < r.code_point; });
  if (run == begin) return 0;
  --run;
  return code_point - run->code_point < run->count ? four_byte_code(run->first + (code_point - run->code_point)) : 0;
}

}  // namespace own_iconv
