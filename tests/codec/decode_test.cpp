// Reading: every single byte and every two-byte input in every pair, and
// every four-byte GB18030 code, ours against the system's iconv.
#include <gtest/gtest.h>

#include <string>

#include "tests/codec/compare.h"

namespace codec_test {
namespace {

// Catches a wrong byte class (0x80 in GB18030, 0xFF, a trail range off by
// one, a GB18030 lead and digit cut), a wrong table entry or GBK gap, the
// UTF-8 lead bytes 0xC0/0xC1/0xF5-0xFF, UTF-16LE surrogate handling and a
// UTF-32LE character taken before all four of its bytes are there.
TEST(OwnIconvDecode, EverySingleByteAndEveryTwoBytesInEveryPair) {
  Tally tally("single bytes and byte pairs, 25 pairs");
  for (const char* from : kNames) {
    for (const char* to : kNames) {
      Pair pair(from, to);
      std::string in(1, '\0');
      for (unsigned a = 0; a < 0x100; ++a) {
        in[0] = static_cast<char>(a);
        pair.same(in, Pair::kAmple);
      }
      in.resize(2);
      for (unsigned a = 0; a < 0x100; ++a) {
        for (unsigned b = 0; b < 0x100; ++b) {
          in[0] = static_cast<char>(a);
          in[1] = static_cast<char>(b);
          pair.same(in, Pair::kAmple);
        }
      }
      tally.add(pair);
    }
  }
  tally.report();
  EXPECT_EQ(tally.differences(), 0u);
}

// Every well-formed four-byte code (a lead, a digit, a lead, a digit) read
// as GB18030 and as GBK, to the Unicode forms: catches a wrong run, an
// index computed wrongly, a run boundary off by one.
TEST(OwnIconvDecode, EveryFourByteCode) {
  Tally tally("four-byte codes from GBK and GB18030 to UTF-8, UTF-16LE and UTF-32LE");
  for (const char* from : {"GB18030", "GBK"}) {
    for (const char* to : {"UTF-8", "UTF-16LE", "UTF-32LE"}) {
      Pair pair(from, to);
      std::string in(4, '\0');
      for (unsigned b0 = 0x81; b0 <= 0xFE; ++b0) {
        for (unsigned b1 = 0x30; b1 <= 0x39; ++b1) {
          for (unsigned b2 = 0x81; b2 <= 0xFE; ++b2) {
            for (unsigned b3 = 0x30; b3 <= 0x39; ++b3) {
              in = {static_cast<char>(b0), static_cast<char>(b1), static_cast<char>(b2), static_cast<char>(b3)};
              pair.same(in, Pair::kAmple);
            }
          }
        }
      }
      tally.add(pair);
    }
  }
  tally.report();
  EXPECT_EQ(tally.differences(), 0u);
}

// A lead and a digit followed by any third byte with the fourth at and
// around the digits, and by the third at and around the leads with any
// fourth: catches a third or fourth byte checked against the wrong range.
TEST(OwnIconvDecode, FourBytesWithAnyThirdOrFourthByte) {
  Tally tally("lead, digit and any third or fourth byte, GB18030 to UTF-8 and UTF-32LE");
  for (const char* to : {"UTF-8", "UTF-32LE"}) {
    Pair pair("GB18030", to);
    std::string in(4, '\0');
    for (unsigned b0 = 0x81; b0 <= 0xFE; ++b0) {
      for (unsigned b1 = 0x30; b1 <= 0x39; ++b1) {
        in[0] = static_cast<char>(b0);
        in[1] = static_cast<char>(b1);
        for (unsigned any = 0; any < 0x100; ++any) {
          for (const unsigned edge : {0x00u, 0x2Fu, 0x30u, 0x39u, 0x3Au, 0x81u}) {
            in[2] = static_cast<char>(any);
            in[3] = static_cast<char>(edge);
            pair.same(in, Pair::kAmple);
          }
          for (const unsigned edge : {0x30u, 0x80u, 0x81u, 0xFEu, 0xFFu}) {
            in[2] = static_cast<char>(edge);
            in[3] = static_cast<char>(any);
            pair.same(in, Pair::kAmple);
          }
        }
      }
    }
    tally.add(pair);
  }
  tally.report();
  EXPECT_EQ(tally.differences(), 0u);
}

}  // namespace
}  // namespace codec_test
