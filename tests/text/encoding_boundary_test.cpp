// File names at the platform boundary: every name the file system can hold
// becomes a program text and comes back as the same bytes, and no two names
// share a program text.
#include <gtest/gtest.h>

#include <QString>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "platform/qt/qt_text.h"
#include "text/encoding_boundary.h"
#include "text/gbk_literal.h"
#include "text/text.h"

using namespace text;

namespace {

std::string utf8_of(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

// Names as a file system may hold them: separators, ASCII, stray bytes of
// 0x80..0xFF, whole UTF-8 characters of every length, among them the
// private-use block U+F780..U+F7FF and private-use characters that the
// GB18030 converter has no code for.
std::string random_name(std::mt19937& rng) {
  auto pick = [&](std::uint32_t lo, std::uint32_t hi) {
    return std::uniform_int_distribution<std::uint32_t>(lo, hi)(rng);
  };
  std::string name;
  const std::uint32_t pieces = pick(0, 12);
  for (std::uint32_t i = 0; i < pieces; ++i) {
    switch (pick(0, 9)) {
      case 0: name += "/\\\r\n."[pick(0, 4)]; break;
      case 1: name += static_cast<char>(pick(0x20, 0x7E)); break;
      case 2:
      case 3: name += static_cast<char>(pick(0x80, 0xFF)); break;
      case 4: name += utf8_of(0xF700 + pick(0x80, 0xFF)); break;
      case 5: name += utf8_of(pick(0x80, 0x7FF)); break;
      case 6: {
        char32_t c = pick(0x800, 0xFFFF);
        if (c >= 0xD800 && c < 0xE000) c = 0xFFFD;
        name += utf8_of(c);
        break;
      }
      case 7: name += utf8_of(pick(0x10000, 0x10FFFF)); break;
      case 8: name += utf8_of(pick(0x4E00, 0x9FA5)); break;  // everyday Chinese
      default: {
        static constexpr char32_t kUncoded[] = {0xE78D, 0xE81E, 0xE864, 0xFFFD};
        name += utf8_of(kUncoded[pick(0, 3)]);
      }
    }
  }
  return name;
}

}  // namespace

TEST(FileNameBoundary, EveryByteStringRoundTripsAndNoTwoShareAText) {
  std::mt19937 rng(20240611);
  std::map<Text, std::string> seen;  // program text -> the name it came from
  int odd = 0;
  for (int i = 0; i < 20000; ++i) {
    const std::string name = random_name(rng);
    const Text program = from_utf8(name);
    ASSERT_EQ(to_utf8(program), name) << "name #" << i;
    const auto [it, fresh] = seen.emplace(program, name);
    ASSERT_TRUE(fresh || it->second == name) << "two names, one text: #" << i;

    // A valid name is its own characters in GB18030 (when the converter
    // has a code for each of them).
    if (const auto strict = utf8_to_gb18030(name)) {
      ASSERT_EQ(program, *strict) << "name #" << i;
    } else {
      ++odd;
    }
    // The GBK-aware walk finds exactly the name's own separators.
    for (const char* separator : {"/", "\\", "\r\n"}) {
      const std::vector<Text> pieces = split(program, separator);
      std::string back;
      for (std::size_t p = 0; p < pieces.size(); ++p) back += (p ? separator : "") + to_utf8(pieces[p]);
      if (!name.empty() && name.ends_with(separator)) back += separator;
      ASSERT_EQ(back, name) << "name #" << i << " split at " << int(separator[0]);
    }
  }
  // Both kinds were generated in numbers.
  EXPECT_GT(odd, 5000);
  EXPECT_GT(20000 - odd, 3000);
}

TEST(FileNameBoundary, StrayBytesAndPrivateUseCharactersStayApart) {
  // The reported collision: a real U+F7A0 and a stray byte 0xA0.
  const std::string private_use = "\xEF\x9E\xA0.txt";
  const std::string stray = "\xA0.txt";
  EXPECT_NE(from_utf8(private_use), from_utf8(stray));
  EXPECT_EQ(to_utf8(from_utf8(private_use)), private_use);
  EXPECT_EQ(to_utf8(from_utf8(stray)), stray);
  // GBK 中 as a name: two stray bytes, neither of them a character.
  const Text carried = from_utf8("\xD6\xD0");
  EXPECT_FALSE(gb18030_to_utf8(carried));
  EXPECT_EQ(to_utf8(carried), "\xD6\xD0");
}

TEST(FileNameBoundary, QtSeesReplacementCharactersForStrayBytes) {
  using platform::from_qstring;
  using platform::to_qstring;
  EXPECT_EQ(to_qstring("关于 📖"_gbk), QStringLiteral("关于 📖"));
  EXPECT_EQ(from_qstring(QStringLiteral("关于 📖")), "关于 📖"_gbk);
  EXPECT_EQ(to_qstring(from_utf8("a\xA0" "b")), QStringLiteral("a\uFFFDb"));
  EXPECT_EQ(to_qstring(from_utf8("\xEF\x9E\xA0")), QStringLiteral("\uF7A0"));
  // A character the converter has no code for is carried as its bytes,
  // and Qt reads those bytes as the character again.
  EXPECT_EQ(to_qstring(from_utf8("\xEE\x9E\x8D")), QString(QChar(0xE78D)));
}
