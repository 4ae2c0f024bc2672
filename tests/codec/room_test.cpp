// Output room at every size, random mixtures in every pair, and the
// interface around the conversion (names, reset forms, bad descriptors).
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <iostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "tests/codec/compare.h"

namespace codec_test {
namespace {

// Characters of every kind: ASCII, two-byte and four-byte GB18030 codes,
// GBK's 0x80, U+00B7 and U+2014, a code point with a two-byte code beyond
// the plane (U+20087) and one without (U+1F600), a tag character (left out
// of GBK), private-use ones GBK lacks, U+E78D which no GB code holds, U+FEFF.
constexpr std::uint32_t kMixed[] = {'A',    0x4E2D, 0x6587, 0x3002, 0x00E5, 0x20AC, 0x00B7,  0x2014,  0x20087,
                                    '\n',   0x1F600, 0xE0041, 0xE4C6, 0xE78D, 0x9FB4, 0xFE10, 0xFEFF, 0x10FFFF};

// The mixed text in `name`, each character as the system's iconv writes
// it, those it cannot write left out.
std::string mixed_text(const char* name) {
  std::string s;
  for (const std::uint32_t cp : kMixed) s += reference_form(name, cp);
  return s;
}

// Every room from none to more than the whole needs, in one call and in
// calls of that room one after the other; the text whole, followed by an
// invalid byte, and followed by a cut character. Catches a character
// written in part when the room ends inside it, the input moved past what
// was written, E2BIG and EILSEQ/EINVAL decided in the wrong order, a
// left-out tag character decided differently when the room is full.
TEST(OwnIconvRoom, EveryRoomForMixedTextInEveryPair) {
  Tally tally("mixed text in every pair at every output room");
  for (const char* from : kNames) {
    const std::string text = mixed_text(from);
    const std::string_view f = from;
    // Nothing; an invalid unit or byte; a cut character; for UTF-8, values
    // beyond U+10FFFF, which only UTF-8 can be written in, and for UTF-32LE
    // such a value, which it cannot be read from.
    const std::string tails[] = {
        "",
        f == "UTF-16LE" ? utf16_unit(0xDC00) : f == "UTF-32LE" ? utf32(0xD800) : std::string("\xFF"),
        f == "UTF-16LE"   ? utf16_unit(0xD800)
        : f == "UTF-32LE" ? utf32(0x10FFFF).substr(0, 3)
        : f == "UTF-8"    ? std::string("\xE4\xB8")
                          : std::string("\x81"),
        f == "UTF-8"      ? utf8(0x110000) + utf8(0x7FFFFFFF)
        : f == "UTF-32LE" ? utf32(0x110000)
                          : std::string()};
    // Every output is at most four times its input.
    const std::size_t most = std::min(4 * text.size() + 8, Pair::kMaxRoom);
    for (const char* to : kNames) {
      Pair pair(from, to);
      for (const std::string& tail : tails) {
        for (std::size_t room = 0; room <= most; ++room) {
          pair.same(text + tail, room);
          pair.same_in_steps(text + tail, room);
        }
      }
      tally.add(pair);
    }
  }
  tally.report();
  EXPECT_EQ(tally.differences(), 0u);
}

class Mixer {
 public:
  explicit Mixer(std::uint32_t seed) : random_(seed) {}

  // A character of any kind as the source writes it: mostly valid ones,
  // some that the target may lack, now and then a random byte or a
  // character's first bytes only.
  std::string piece(const char* from) {
    const unsigned kind = below(20);
    if (kind == 0) return std::string(1, static_cast<char>(below(256)));
    // UTF-8 of the original kind, beyond U+10FFFF.
    if (kind == 2 && std::string_view(from) == "UTF-8") return utf8(0x110000 + below(0x7FEF0000));
    // UTF-32LE's invalid values: surrogates and those beyond U+10FFFF.
    if (kind == 2 && std::string_view(from) == "UTF-32LE") {
      return utf32(below(2) == 0 ? 0xD800 + below(0x800) : 0x110000 + below(0xFFEF0000));
    }
    std::string whole;
    while (whole.empty()) whole = reference_form(from, code_point());
    if (kind == 1 && whole.size() > 1) whole.resize(1 + below(static_cast<std::uint32_t>(whole.size() - 1)));
    return whole;
  }

  std::uint32_t below(std::uint32_t n) { return std::uniform_int_distribution<std::uint32_t>(0, n - 1)(random_); }

 private:
  std::uint32_t code_point() {
    switch (below(8)) {
      case 0: return below(0x80);
      case 1: return 0x4E00 + below(0x51A6);
      case 2: return 0x80 + below(0x3F80);
      case 3: return kMixed[below(sizeof kMixed / sizeof kMixed[0])];
      case 4: return 0x10000 + below(0x100000);
      case 5: return 0xE000 + below(0x1900);
      case 6: return 0xE0000 + below(0x80);
      default: return below(0x10000);
    }
  }

  std::mt19937 random_;
};

// Random mixtures of every kind of character, with invalid and cut ones,
// at random rooms, in one call and in steps: what the exhaustive tests
// cannot reach, characters of different kinds next to each other.
TEST(OwnIconvRoom, RandomMixturesInEveryPair) {
  constexpr std::uint32_t kSeed = 20240611;
  Tally tally("random mixtures in every pair");
  Mixer mixer(kSeed);
  for (const char* from : kNames) {
    for (const char* to : kNames) {
      Pair pair(from, to);
      for (int i = 0; i < 1500; ++i) {
        std::string text;
        const std::uint32_t pieces = 1 + mixer.below(40);
        for (std::uint32_t p = 0; p < pieces; ++p) text += mixer.piece(from);
        pair.same(text, mixer.below(Pair::kMaxRoom + 1));
        pair.same_in_steps(text, 1 + mixer.below(12));
      }
      tally.add(pair);
    }
  }
  std::cout << "random mixtures: seed " << kSeed << std::endl;
  tally.report();
  EXPECT_EQ(tally.differences(), 0u);
}

// The names in any case open in both; others fail with EINVAL in both.
// (The empty name, which the reference takes as the locale's encoding,
// and its other aliases are not ours to take.)
TEST(OwnIconvInterface, NamesAsTheReferenceTakesThem) {
  for (const char* name :
       {"GBK", "gbk", "Gb18030", "gb18030", "UTF-8", "utf-8", "UTF-16LE", "utf-16le", "UTF-32LE", "Utf-32le"}) {
    iconv_t theirs = iconv_open(name, "UTF-8");
    bixiqin_iconv_t mine = bixiqin_iconv_open(name, "UTF-8");
    EXPECT_NE(theirs, reinterpret_cast<iconv_t>(-1)) << name;
    EXPECT_NE(mine, reinterpret_cast<bixiqin_iconv_t>(-1)) << name;
    if (theirs != reinterpret_cast<iconv_t>(-1)) iconv_close(theirs);
    if (mine != reinterpret_cast<bixiqin_iconv_t>(-1)) {
      EXPECT_EQ(bixiqin_iconv_close(mine), 0);
    }
  }
  for (const char* name : {"GBKX", "UTF-8X", "UTF-16LX", "UTF-32L", "NO-SUCH-CODE"}) {
    errno = 0;
    iconv_t theirs = iconv_open(name, "GBK");
    const int their_error = errno;
    errno = 0;
    bixiqin_iconv_t mine = bixiqin_iconv_open(name, "GBK");
    const int my_error = errno;
    EXPECT_EQ(theirs, reinterpret_cast<iconv_t>(-1)) << name;
    EXPECT_EQ(mine, reinterpret_cast<bixiqin_iconv_t>(-1)) << name;
    EXPECT_EQ(their_error, EINVAL) << name;
    EXPECT_EQ(my_error, EINVAL) << name;
    errno = 0;
    EXPECT_EQ(bixiqin_iconv_open("GBK", name), reinterpret_cast<bixiqin_iconv_t>(-1)) << name;
    EXPECT_EQ(errno, EINVAL) << name;
  }
}

// What each form of the call gives: a null input (either way) resets and
// writes nothing; an empty input converts nothing; the same in both.
TEST(OwnIconvInterface, ResetFormsAndEmptyInput) {
  for (const char* from : kNames) {
    for (const char* to : kNames) {
      iconv_t theirs = iconv_open(to, from);
      bixiqin_iconv_t mine = bixiqin_iconv_open(to, from);
      ASSERT_NE(theirs, reinterpret_cast<iconv_t>(-1));
      ASSERT_NE(mine, reinterpret_cast<bixiqin_iconv_t>(-1));
      char their_buffer[8], my_buffer[8];
      char* their_out = their_buffer;
      char* my_out = my_buffer;
      std::size_t their_left = sizeof their_buffer, my_left = sizeof my_buffer;
      EXPECT_EQ(bixiqin_iconv(mine, nullptr, nullptr, nullptr, nullptr), iconv(theirs, nullptr, nullptr, nullptr, nullptr));
      EXPECT_EQ(bixiqin_iconv(mine, nullptr, nullptr, &my_out, &my_left),
                iconv(theirs, nullptr, nullptr, &their_out, &their_left));
      char* their_null = nullptr;
      char* my_null = nullptr;
      std::size_t their_count = 3, my_count = 3;
      EXPECT_EQ(bixiqin_iconv(mine, &my_null, &my_count, &my_out, &my_left),
                iconv(theirs, &their_null, &their_count, &their_out, &their_left));
      char empty[1] = {'A'};
      char* their_in = empty;
      char* my_in = empty;
      std::size_t their_in_left = 0, my_in_left = 0;
      EXPECT_EQ(bixiqin_iconv(mine, &my_in, &my_in_left, &my_out, &my_left),
                iconv(theirs, &their_in, &their_in_left, &their_out, &their_left));
      EXPECT_EQ(my_out - my_buffer, their_out - their_buffer);
      EXPECT_EQ(my_left, their_left);
      EXPECT_EQ(my_in, empty);
      EXPECT_EQ(their_in, empty);
      EXPECT_EQ(my_count, their_count);
      iconv_close(theirs);
      EXPECT_EQ(bixiqin_iconv_close(mine), 0);
    }
  }
}

// (iconv_t)-1, what a failed open returns, gives EBADF in both.
TEST(OwnIconvInterface, FailedDescriptorGivesEbadf) {
  char in[1] = {'A'}, out[4];
  char* their_in = in;
  char* my_in = in;
  char* their_out = out;
  char* my_out = out;
  std::size_t their_in_left = 1, my_in_left = 1, their_left = 4, my_left = 4;
  errno = 0;
  EXPECT_EQ(iconv(reinterpret_cast<iconv_t>(-1), &their_in, &their_in_left, &their_out, &their_left),
            static_cast<std::size_t>(-1));
  EXPECT_EQ(errno, EBADF);
  errno = 0;
  EXPECT_EQ(bixiqin_iconv(reinterpret_cast<bixiqin_iconv_t>(-1), &my_in, &my_in_left, &my_out, &my_left),
            static_cast<std::size_t>(-1));
  EXPECT_EQ(errno, EBADF);
  EXPECT_EQ(my_in, in);
  EXPECT_EQ(my_in_left, 1u);
  errno = 0;
  EXPECT_EQ(bixiqin_iconv_close(reinterpret_cast<bixiqin_iconv_t>(-1)), -1);
  EXPECT_EQ(errno, EBADF);
}

}  // namespace
}  // namespace codec_test
