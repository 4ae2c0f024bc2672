// What the conversion of one real file says about it: the place and kind of
// the first fault, worked out by hand for each case, and why a file could
// not be read or written.
#include <gtest/gtest.h>

#include "convert/reason_text.h"
#include "convert/single_file.h"
#include "text/encoding_boundary.h"
#include "temp_folder.h"

using platform::FileError;

TEST(Outcome, ThePlaceAndKindOfTheFirstFault) {
  struct Case {
    const char* what;
    std::string bytes;
    const char* from;
    const char* to;
    Outcome outcome;
    std::uint64_t offset, line, column;
    std::string at;
    char32_t code_point;
  };
  const Case cases[] = {
      // "ab\n" is 3 bytes, 中 3 and c 1: FF is byte 7, the third character of line 2.
      {"invalid UTF-8", "ab\n\xE4\xB8\xAD" "c\xFF\xFEx", "UTF-8", "GBK", Outcome::invalid_sequence, 7, 2, 3,
       "\xFF", 0},
      // 中 2 bytes, CR LF 2, "ab" 2: the lead byte 81 with a blank after it is at 6.
      {"invalid GBK", "\xD6\xD0\r\nab\x81 x", "GBK", "UTF-8", Outcome::invalid_sequence, 6, 2, 3,
       "\x81 ", 0},
      {"no such character in GBK", "a\nb\nc\xC2\xA0", "UTF-8", "GBK", Outcome::unrepresentable, 5, 3, 2,
       "\xC2\xA0", 0xA0},
      {"emoji at the start", "\xF0\x9F\x98\x80", "UTF-8", "GBK", Outcome::unrepresentable, 0, 1, 1,
       "\xF0\x9F\x98\x80", 0x1F600},
      // 中文\n is 7 bytes, 中 3 more: the cut character starts at 10.
      {"cut off", "\xE4\xB8\xAD\xE6\x96\x87\n\xE4\xB8\xAD\xE6\x96", "UTF-8", "GB18030", Outcome::cut_off, 10,
       2, 2, "\xE6\x96", 0},
      {"cut off in GB18030's four bytes", "ab\x81\x30\x81", "GB18030", "UTF-8", Outcome::cut_off, 2, 1, 3,
       "\x81\x30\x81", 0},
      // GBK has no four-byte characters: 81 30 is a bad pair, not the start of one.
      {"GB18030's four bytes read as GBK", "ab\x81\x30\x81\x30", "GBK", "UTF-8", Outcome::invalid_sequence, 2, 1,
       3, "\x81\x30", 0},
  };
  for (const Case& c : cases) {
    TempFolder dir;
    dir.write("a.txt", c.bytes);
    const 转换结果 r = 转换单个文件(dir.text("a.txt"), c.from, c.to);
    EXPECT_FALSE(r.已转换) << c.what;
    EXPECT_EQ(r.outcome, c.outcome) << c.what;
    EXPECT_EQ(r.offset, c.offset) << c.what;
    EXPECT_EQ(r.line, c.line) << c.what;
    EXPECT_EQ(r.column, c.column) << c.what;
    EXPECT_EQ(r.bytes, c.at) << c.what;
    EXPECT_EQ(r.code_point, c.code_point) << c.what;
    EXPECT_EQ(dir.names(), std::set<std::string>{"a.txt"}) << c.what << ": finding the reason wrote";
  }
}

TEST(Outcome, AConvertedFileSaysHowManyBytesWentInAndOut) {
  TempFolder dir;
  dir.write("a.txt", "\xD6\xD0\xCE\xC4\n");  // 中文 in GBK: 5 bytes, 7 in UTF-8
  const 转换结果 r = 转换单个文件(dir.text("a.txt"), "GBK", "UTF-8");
  ASSERT_TRUE(r.已转换);
  EXPECT_EQ(r.outcome, Outcome::converted);
  EXPECT_EQ(r.bytes_in, 5u);
  EXPECT_EQ(r.bytes_out, 7u);
  EXPECT_FALSE(r.also_valid_utf8);
}

// UTF-8 text read as GBK converts, into garbage: the result says so. Real
// GBK text, ASCII text and UTF-8 read as UTF-8 do not.
TEST(Outcome, UnicodeTextReadAsGbkIsNoticed) {
  struct Case {
    const char* bytes;
    const char* from;
    bool noticed;
  };
  const Case cases[] = {
      // 的是 in UTF-8 reads as three GBK characters, 鐨勬槸.
      {"\xE7\x9A\x84\xE6\x98\xAF\n", "GBK", true},
      {"\xE7\x9A\x84\xE6\x98\xAF\n", "GB18030", true},
      {"\xB5\xDA\xD2\xBB\xD5\xC2\n", "GBK", false},                  // 第一章 in GBK
      // 平顺省 in GBK is also valid UTF-8, of two-byte letters (ƽ˳ʡ): no Chinese.
      {"\xC6\xBD\xCB\xB3\xCA\xA1\n", "GBK", false},
      {"plain ASCII\n", "GBK", false},
      // GBK pairs that UTF-8 would read as three- and four-byte characters
      // but for an overlong form, a surrogate or a code beyond U+10FFFF.
      {"\xE0\x9F\xBF\xE0\x9F\xBF\n", "GBK", false},
      {"\xED\xA0\x81\xED\xA0\x81\n", "GBK", false},
      {"\xF0\x8F\x81\x81\n", "GBK", false},
      {"\xF4\x90\x81\x81\n", "GBK", false},
      {"\xE7\xAC\xAC\xE4\xB8\x80\xE7\xAB\xA0\n", "UTF-8", false},
  };
  for (const Case& c : cases) {
    TempFolder dir;
    dir.write("a.txt", c.bytes);
    const 转换结果 r = 转换单个文件(dir.text("a.txt"), c.from, std::string(c.from) == "UTF-8" ? "GBK" : "UTF-8");
    ASSERT_TRUE(r.已转换) << c.bytes;
    EXPECT_EQ(r.also_valid_utf8, c.noticed) << c.bytes << " from " << c.from;
  }
}

// The words for a few real files, written out by hand.
TEST(Outcome, InWords) {
  TempFolder dir;
  dir.write("bad.txt", "ab\n\xE4\xB8\xAD" "c\xFF\xFEx");
  dir.write("nbsp.txt", "a\nb\nc\xC2\xA0");
  dir.write("ok.txt", "ok");
  const 转换结果 bad = 转换单个文件(dir.text("bad.txt"), "UTF-8", "GBK");
  const 转换结果 nbsp = 转换单个文件(dir.text("nbsp.txt"), "UTF-8", "GBK");
  const 转换结果 ok = 转换单个文件(dir.text("ok.txt"), "UTF-8", "GBK");
  const 转换结果 gone = 转换单个文件(dir.text("gone.txt"), "UTF-8", "GBK");
  const auto zh = [](const 转换结果& r) { return text::to_utf8(转换说明(r, "UTF-8", "GBK")); };
  const auto en = [](const 转换结果& r) { return 转换说明(r, "UTF-8", "GBK", Language::english); };
  EXPECT_EQ(zh(bad), "第 2 行第 3 列：不是有效的 UTF-8 字节 (FF)");
  EXPECT_EQ(en(bad), "line 2, column 3: not valid UTF-8 (bytes FF)");
  EXPECT_EQ(zh(nbsp), "字符 U+00A0 无法用 GBK 表示 (第 3 行第 2 列)");
  EXPECT_EQ(en(nbsp), "character U+00A0 cannot be written in GBK (line 3, column 2)");
  EXPECT_EQ(zh(ok), "已转换为 GBK  ok.txt");
  EXPECT_EQ(zh(gone), "找不到这个文件");
  EXPECT_EQ(en(gone), "no such file");
}
