// Writing: every code point and every surrogate, UTF-8's long, overlong and
// out-of-range forms and UTF-32LE's values beyond U+10FFFF, ours against the
// system's iconv.
#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>
#include <string>
#include <string_view>

#include "tests/codec/compare.h"

namespace codec_test {
namespace {

// U+0000-U+10FFFF and the surrogates, as UTF-8 and as UTF-16LE written as
// GBK, GB18030 and the other Unicode forms, and as UTF-32LE written as every
// encoding, UTF-32LE itself included: catches a wrong or missing inverse
// entry, the two-byte form not preferred for U+20087 and the like, the tag
// characters not left out of GBK, a surrogate taken, a UTF-32LE byte out of
// its place.
TEST(OwnIconvEncode, EveryCodePoint) {
  Tally tally("code points U+0000-U+10FFFF, surrogates included");
  std::size_t pairs = 0;
  for (const std::string_view from : {"UTF-8", "UTF-16LE", "UTF-32LE"}) {
    for (const char* to : kNames) {
      // UTF-8 and UTF-16LE into themselves would only repeat what writing
      // them from the other forms tests.
      if (from == to && from != "UTF-32LE") continue;
      Pair pair(from.data(), to);
      for (std::uint32_t cp = 0; cp <= 0x10FFFF; ++cp) {
        // A surrogate is written as its three-byte pattern in UTF-8, as a
        // lone unit in UTF-16LE and as itself in UTF-32LE; all are invalid
        // input.
        pair.same(from == "UTF-8" ? utf8(cp) : from == "UTF-16LE" ? utf16(cp) : utf32(cp), Pair::kAmple);
      }
      ++pairs;
      tally.add(pair);
    }
  }
  std::cout << "code points: " << 0x110000 << " (surrogates included) in each of " << pairs << " pairs" << std::endl;
  tally.report();
  EXPECT_EQ(tally.differences(), 0u);
}

// UTF-32LE values beyond U+10FFFF: every pair of high bytes with low halves
// that would be characters on their own, to every target. Catches a value
// cut to 21 bits or to its low half, a limit checked in the wrong byte.
TEST(OwnIconvEncode, Utf32LeValuesBeyondTheLast) {
  Tally tally("UTF-32LE values with every pair of high bytes, to every target");
  for (const char* to : kNames) {
    Pair pair("UTF-32LE", to);
    for (std::uint32_t high = 0; high <= 0xFFFF; ++high) {
      for (const std::uint32_t low : {0x0000u, 0x0041u, 0xD800u, 0xFFFFu}) pair.same(utf32(high << 16 | low), Pair::kAmple);
    }
    tally.add(pair);
  }
  tally.report();
  EXPECT_EQ(tally.differences(), 0u);
}

// Every three-byte input starting 0xE0-0xEF (overlong forms, surrogates,
// bad continuation bytes): catches an overlong or surrogate check off by
// one, a continuation byte not checked.
TEST(OwnIconvEncode, EveryThreeByteUtf8Input) {
  Tally tally("three-byte UTF-8 inputs led by 0xE0-0xEF");
  for (const char* to : {"UTF-8", "GB18030"}) {
    Pair pair("UTF-8", to);
    std::string in(3, '\0');
    for (unsigned a = 0xE0; a <= 0xEF; ++a) {
      for (unsigned b = 0; b < 0x100; ++b) {
        for (unsigned c = 0; c < 0x100; ++c) {
          in = {static_cast<char>(a), static_cast<char>(b), static_cast<char>(c)};
          pair.same(in, Pair::kAmple);
        }
      }
    }
    tally.add(pair);
  }
  tally.report();
  EXPECT_EQ(tally.differences(), 0u);
}

// The four-, five- and six-byte forms with any second byte and the rest at
// the edges of the continuation bytes, values at every length's limits in
// every length (overlong where too long), up to 0x7FFFFFFF, to every
// target: catches a limit of U+10FFFF applied while reading, a wrong least
// value for a length, values beyond U+10FFFF not passed to UTF-8.
TEST(OwnIconvEncode, LongOverlongAndOutOfRangeUtf8) {
  Tally tally("UTF-8 forms of four to six bytes and overlong forms, to every target");
  const char kEdges[] = {'\x80', '\xBF', '\x41', '\xC0'};
  for (const char* to : kNames) {
    Pair pair("UTF-8", to);
    for (unsigned lead = 0xF0; lead <= 0xFF; ++lead) {
      const std::size_t length = lead < 0xF8 ? 4 : lead < 0xFC ? 5 : 6;
      for (unsigned second = 0; second < 0x100; ++second) {
        // The bytes after the second: every combination of the edges.
        std::size_t combinations = 1;
        for (std::size_t i = 2; i < length; ++i) combinations *= sizeof kEdges;
        for (std::size_t k = 0; k < combinations; ++k) {
          std::string in = {static_cast<char>(lead), static_cast<char>(second)};
          for (std::size_t i = 2, rest = k; i < length; ++i, rest /= sizeof kEdges) in += kEdges[rest % sizeof kEdges];
          pair.same(in, Pair::kAmple);
        }
      }
    }
    const std::uint32_t kValues[] = {0,        0x7F,     0x80,      0x7FF,     0x800,      0xD7FF,    0xD800,
                                     0xDFFF,   0xE000,   0xFFFD,    0xFFFF,    0x10000,    0x10FFFF,  0x110000,
                                     0x1FFFFF, 0x200000, 0x3FFFFFF, 0x4000000, 0x7FFFFFFE, 0x7FFFFFFF};
    for (const std::uint32_t value : kValues) {
      for (std::size_t length = 1; length <= 6; ++length) {
        const std::string form = utf8_form(value, length);
        if (!form.empty()) pair.same(form, Pair::kAmple);
      }
    }
    tally.add(pair);
  }
  tally.report();
  EXPECT_EQ(tally.differences(), 0u);
}

}  // namespace
}  // namespace codec_test
