#include <gtest/gtest.h>

#include "text/array.h"
#include "text/byte_set.h"
#include "text/encoding_boundary.h"
#include "text/gbk_literal.h"
#include "text/text.h"

using namespace text;

// "\x95\x5C" is one GBK character whose trail byte is the value of "\";
// "\x81\x2F" likewise hides a "/"-valued trail byte (valid in GB18030 only as
// a broken sequence, but the walk must not care).
TEST(TextFind, NeverMatchesOnTrailBytes) {
  const Text t = "a\x95\x5C" "b\\c";
  EXPECT_EQ(find(t, "\\"), 5);
  EXPECT_EQ(find_last(t, "\\"), 5);
  EXPECT_EQ(find("\x95\x5C", "\\"), -1);
  EXPECT_EQ(find_last("\x81\x2F" "x", "/"), -1);
  EXPECT_EQ(find_last("a/b/c", "/"), 4);
  EXPECT_EQ(find("abc", ""), -1);
  EXPECT_EQ(find("", "a"), -1);
  // A lead byte at the very end is treated as a single byte.
  EXPECT_EQ(find("ab\x95", "\x95"), 3);
}

TEST(TextLeftRight, ClampsAtBothEnds) {
  EXPECT_EQ(left("hello", 0), "");
  EXPECT_EQ(left("hello", -3), "");
  EXPECT_EQ(left("hello", 2), "he");
  EXPECT_EQ(left("hello", 5), "hello");
  EXPECT_EQ(left("hello", 99), "hello");
  EXPECT_EQ(right("hello", 0), "");
  EXPECT_EQ(right("hello", -1), "");
  EXPECT_EQ(right("hello", 3), "llo");
  EXPECT_EQ(right("hello", 6), "hello");
}

TEST(TextSplit, KeepsInnerEmptyPiecesButNotTrailing) {
  using V = std::vector<Text>;
  EXPECT_EQ(split("", "\r\n"), V{});
  EXPECT_EQ(split("a", "\r\n"), V{"a"});
  EXPECT_EQ(split("a\r\nb", "\r\n"), (V{"a", "b"}));
  EXPECT_EQ(split("a\r\n\r\nb", "\r\n"), (V{"a", "", "b"}));
  EXPECT_EQ(split("a\r\n", "\r\n"), V{"a"});
  EXPECT_EQ(split("\r\na", "\r\n"), (V{"", "a"}));
  EXPECT_EQ(split("\r\n", "\r\n"), V{""});
  // A separator hidden in a trail byte does not split.
  EXPECT_EQ(split("\x95|x|y", "|"), (V{"\x95|x", "y"}));
}

TEST(TextDecimalAndJoin, PlainDigits) {
  EXPECT_EQ(decimal(0), "0");
  EXPECT_EQ(decimal(1234567), "1234567");
  EXPECT_EQ(decimal(-42), "-42");
  EXPECT_EQ(join(Text("a"), "b", std::string_view("c")), "abc");
}

TEST(TextLiteral, GivesGbkBytes) {
  EXPECT_EQ("关于"_gbk, "\xB9\xD8\xD3\xDA");
  EXPECT_EQ("UTF-8"_gbk, "UTF-8");
  EXPECT_EQ("～"_gbk, "\xA1\xAB");
}

TEST(EncodingBoundary, RoundTripsAnyUnicodeAndOddBytes) {
  const std::string utf8 = "目录/😀 文件ÄŒ.txt";
  auto gbk = utf8_to_gb18030(utf8);
  ASSERT_TRUE(gbk);
  EXPECT_EQ(gb18030_to_utf8(*gbk), utf8);
  EXPECT_EQ(to_utf8(from_utf8(utf8)), utf8);
  // A name that is not valid UTF-8 survives the lenient round trip.
  const std::string odd = "bad\xFF\xC3name";
  EXPECT_FALSE(utf8_to_gb18030(odd));
  EXPECT_EQ(to_utf8(from_utf8(odd)), odd);
  // Invalid GBK shows as a replacement character instead of vanishing.
  EXPECT_EQ(to_utf8("a\x80"), "a\xEF\xBF\xBD");
}

TEST(ByteSetAndArray, BasicContracts) {
  ByteSet b("abc");
  EXPECT_EQ(b.view(), "abc");
  ASSERT_TRUE(b.reserve(100));
  EXPECT_EQ(b.view(), "abc");
  ByteSet moved(std::move(b));
  EXPECT_EQ(moved.size(), 3u);
  EXPECT_TRUE(b.empty());
  EXPECT_EQ(ByteSet().view(), "");

  Array<Text> a;
  a.append("x");
  a.append("y");
  EXPECT_EQ(a.at(1), "x");
  EXPECT_EQ(a.at(2), "y");
  EXPECT_THROW(a.at(0), std::out_of_range);
  a.clear();
  EXPECT_TRUE(a.empty());
}
