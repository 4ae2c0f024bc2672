// Characters cut at the input's end, after a whole character: the input
// pointer must stop at the cut character's first byte with EINVAL, and an
// invalid byte inside the cut part makes it EILSEQ.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/codec/compare.h"

namespace codec_test {
namespace {

// Compares `cut` after a whole character, with ample room and with room
// for exactly that character (its output fills the room, then the cut).
void both_rooms(Pair& pair, const std::string& whole, std::size_t whole_out, const std::string& cut) {
  pair.same(whole + cut, Pair::kAmple);
  pair.same(whole + cut, whole_out);
}

// Catches a GB18030 lead and digit with fewer than four bytes taken as
// invalid when the third byte is no lead, a lead alone taken as invalid,
// the pointer moved into the cut character.
TEST(OwnIconvCut, GbCodesCutAtEveryByte) {
  Tally tally("GBK and GB18030 codes cut after one, two and three bytes");
  for (const char* from : {"GBK", "GB18030"}) {
    for (const char* to : {"UTF-8", "UTF-16LE", "UTF-32LE"}) {
      Pair pair(from, to);
      const std::size_t a_out = reference_form(to, 'A').size();
      for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
        const std::string one(1, static_cast<char>(lead));
        both_rooms(pair, "A", a_out, one);
        for (unsigned digit = 0x30; digit <= 0x39; ++digit) {
          const std::string two = one + static_cast<char>(digit);
          both_rooms(pair, "A", a_out, two);
          for (unsigned third = 0; third < 0x100; ++third) both_rooms(pair, "A", a_out, two + static_cast<char>(third));
        }
      }
      tally.add(pair);
    }
  }
  tally.report();
  EXPECT_EQ(tally.differences(), 0u);
}

// Every UTF-8 lead with up to two continuation bytes after it (all of
// them), and the longer forms' prefixes of four and five bytes with any
// second and edge later continuation bytes, each also with its last byte replaced by one that
// continues nothing: catches an overlong or surrogate prefix taken as
// invalid before the rest arrives, a bad byte inside a cut form missed.
TEST(OwnIconvCut, Utf8FormsCutAtEveryByte) {
  Tally tally("UTF-8 forms cut after one to five bytes");
  const char kEdges[] = {'\x80', '\x8F', '\x90', '\x9F', '\xA0', '\xBF'};
  for (const char* to : {"GB18030", "UTF-16LE", "UTF-8", "UTF-32LE"}) {
    Pair pair("UTF-8", to);
    const std::size_t a_out = reference_form(to, 'A').size();
    auto cut = [&](const std::string& prefix) {
      both_rooms(pair, "A", a_out, prefix);
      std::string broken = prefix;
      for (const char bad : {'\x41', '\xC0'}) {
        broken.back() = bad;
        both_rooms(pair, "A", a_out, broken);
      }
    };
    for (unsigned lead = 0xC0; lead <= 0xFF; ++lead) {
      const std::size_t length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : lead < 0xFC ? 5 : 6;
      const std::string one(1, static_cast<char>(lead));
      both_rooms(pair, "A", a_out, one);
      for (unsigned b = 0x80; b <= 0xBF && length > 2; ++b) {
        const std::string two = one + static_cast<char>(b);
        cut(two);
        for (unsigned c = 0x80; c <= 0xBF && length > 3; ++c) cut(two + static_cast<char>(c));
        // Five and six bytes: whether a form is overlong shows in its
        // second byte; the later ones only at the edges.
        for (const char c : kEdges) {
          for (const char d : kEdges) {
            if (length > 4) cut(two + c + d);
            for (const char e : kEdges) {
              if (length > 5) cut(two + c + d + e);
            }
          }
        }
      }
    }
    tally.add(pair);
  }
  tally.report();
  EXPECT_EQ(tally.differences(), 0u);
}

// One byte alone, every high surrogate alone and followed by one byte of
// any value, and followed by a unit that is no low surrogate: catches a
// high surrogate's partner checked before it has all arrived.
TEST(OwnIconvCut, Utf16UnitsCut) {
  Tally tally("UTF-16LE units and surrogate pairs cut");
  for (const char* to : {"UTF-8", "GB18030", "GBK", "UTF-32LE"}) {
    Pair pair("UTF-16LE", to);
    const std::string a = utf16_unit('A');
    const std::size_t a_out = reference_form(to, 'A').size();
    for (unsigned b = 0; b < 0x100; ++b) both_rooms(pair, a, a_out, std::string(1, static_cast<char>(b)));
    for (std::uint32_t high = 0xD800; high <= 0xDBFF; ++high) {
      const std::string unit = utf16_unit(high);
      both_rooms(pair, a, a_out, unit);
      for (unsigned b = 0; b < 0x100; ++b) both_rooms(pair, a, a_out, unit + static_cast<char>(b));
      for (const std::uint32_t next : {0x0041u, 0xD800u, 0xDBFFu, 0xDC00u, 0xDFFFu, 0xE000u}) {
        both_rooms(pair, a, a_out, unit + utf16_unit(next));
      }
    }
    tally.add(pair);
  }
  tally.report();
  EXPECT_EQ(tally.differences(), 0u);
}

// One byte of any value, two of any values, and three with a first of 0x00
// or 0xFF and any second and third (the beginnings of characters, of
// surrogates and of values beyond U+10FFFF), to every target: catches a
// value checked before its fourth byte arrives, a cut character taken
// whole, the pointer moved into it.
TEST(OwnIconvCut, Utf32LeCutAfterOneToThreeBytes) {
  Tally tally("UTF-32LE characters cut after one, two and three bytes");
  for (const char* to : kNames) {
    Pair pair("UTF-32LE", to);
    const std::string a = utf32('A');
    const std::size_t a_out = reference_form(to, 'A').size();
    std::string cut(1, '\0');
    for (unsigned b = 0; b < 0x100; ++b) {
      cut[0] = static_cast<char>(b);
      both_rooms(pair, a, a_out, cut);
    }
    for (unsigned b = 0; b < 0x10000; ++b) {
      cut = {static_cast<char>(b & 0xFF), static_cast<char>(b >> 8)};
      both_rooms(pair, a, a_out, cut);
    }
    for (const char first : {'\x00', '\xFF'}) {
      for (unsigned b = 0; b < 0x10000; ++b) {
        cut = {first, static_cast<char>(b & 0xFF), static_cast<char>(b >> 8)};
        both_rooms(pair, a, a_out, cut);
      }
    }
    tally.add(pair);
  }
  tally.report();
  EXPECT_EQ(tally.differences(), 0u);
}

}  // namespace
}  // namespace codec_test
