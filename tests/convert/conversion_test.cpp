// Conversion of real files through the real iconv.
#include <gtest/gtest.h>

#include "convert/output_name.h"
#include "convert/single_file.h"
#include "convert/transcode.h"
#include "convert/whole_file.h"
#include "temp_folder.h"

namespace {

const std::string kChineseUtf8 = "\xE4\xB8\xAD\xE6\x96\x87";  // 中文
const std::string kChineseGbk = "\xD6\xD0\xCE\xC4";

std::string repeat(const std::string& s, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += s;
  return out;
}

}  // namespace

TEST(OutputName, PrefixesTheTargetToTheFileName) {
  EXPECT_EQ(输出文件名("D:\\books\\a.txt", "GB18030"), "D:\\books\\GB18030  a.txt");
  EXPECT_EQ(输出文件名("/home/u/a.b.txt", "UTF-8"), "/home/u/UTF-8  a.b.txt");
  EXPECT_EQ(输出文件名("a.txt", "GBK"), "GBK  a.txt");
  // A folder name with a 0x5C trail byte is kept whole.
  EXPECT_EQ(输出文件名("D:\\\xD5\x5C\\a.txt", "GBK"), "D:\\\xD5\x5C\\GBK  a.txt");
}

TEST(ConvertFile, AsciiUtf8ToGbkIsTheSameBytesBesideTheSource) {
  TempFolder dir;
  const std::string ascii = "Hello, world.\r\nLine two\n\ttab~\n";
  dir.write("a.txt", ascii);
  const 转换结果 r = 转换单个文件(dir.text("a.txt"), "UTF-8", "GBK");
  ASSERT_TRUE(r.已转换);
  EXPECT_EQ(r.输出路径, dir.text("GBK  a.txt"));
  EXPECT_EQ(dir.read("GBK  a.txt"), ascii);
  EXPECT_EQ(dir.read("a.txt"), ascii);
  EXPECT_EQ(dir.names(), (std::set<std::string>{"a.txt", "GBK  a.txt"}));
}

TEST(ConvertFile, ChineseUtf8ToGbkFitsWithoutEnlargement) {
  TempFolder dir;
  dir.write("novel.txt", repeat(kChineseUtf8 + "\n", 1000));
  text::ByteSet data = 读取整个文件(dir.text("novel.txt"));
  bool ok = false;
  const text::ByteSet out = 转码字节集(data, "UTF-8", "GBK", ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(out.view(), repeat(kChineseGbk + "\n", 1000));

  ASSERT_TRUE(转换单个文件(dir.text("novel.txt"), "UTF-8", "GBK").已转换);
  EXPECT_EQ(dir.read("GBK  novel.txt"), repeat(kChineseGbk + "\n", 1000));
}

TEST(ConvertFile, ChineseGbkToUtf8GrowsBeyondTheInputsSize) {
  TempFolder dir;
  dir.write("novel.txt", repeat(kChineseGbk, 5000));
  bool ok = false;
  const text::ByteSet out = 转码字节集(读取整个文件(dir.text("novel.txt")), "GBK", "UTF-8", ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(out.view(), repeat(kChineseUtf8, 5000));

  ASSERT_TRUE(转换单个文件(dir.text("novel.txt"), "GBK", "UTF-8").已转换);
  EXPECT_EQ(dir.read("UTF-8  novel.txt"), repeat(kChineseUtf8, 5000));
}

TEST(ConvertFile, ByteOrderMarkIsCarriedLikeAnyCharacter) {
  TempFolder dir;
  dir.write("bom.txt", "\xEF\xBB\xBF" "A" + kChineseUtf8);
  ASSERT_TRUE(转换单个文件(dir.text("bom.txt"), "UTF-8", "GB18030").已转换);
  EXPECT_EQ(dir.read("GB18030  bom.txt"), "\x84\x31\x95\x33" "A" + kChineseGbk);
  ASSERT_TRUE(转换单个文件(dir.text("bom.txt"), "UTF-8", "UTF-8").已转换);
  EXPECT_EQ(dir.read("UTF-8  bom.txt"), "\xEF\xBB\xBF" "A" + kChineseUtf8);
  // And no mark is added where there was none.
  dir.write("plain.txt", kChineseGbk);
  ASSERT_TRUE(转换单个文件(dir.text("plain.txt"), "GBK", "UTF-8").已转换);
  EXPECT_EQ(dir.read("UTF-8  plain.txt"), kChineseUtf8);
}

TEST(ConvertFile, OneBadSequenceAnywhereGivesNoOutputAtAll) {
  const std::string good = repeat(kChineseUtf8 + "text ", 2000);
  const std::string bad_files[] = {
      "\xFF" + good,                                // invalid at the start
      good.substr(0, 11 * 400) + "\xC3\x28" + good,  // invalid in the middle
      good + "\xE4\xB8",                            // cut off at the end
      good + "\xF0\x9F\x98\x80",                    // valid, but GBK has no such character
  };
  for (const std::string& bytes : bad_files) {
    TempFolder dir;
    dir.write("bad.txt", bytes);
    const 转换结果 r = 转换单个文件(dir.text("bad.txt"), "UTF-8", "GBK");
    EXPECT_FALSE(r.已转换);
    EXPECT_TRUE(r.输出路径.empty());
    EXPECT_EQ(dir.names(), std::set<std::string>{"bad.txt"});

    bool ok = true;
    const text::ByteSet out = 转码字节集(bytes, "UTF-8", "GBK", ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(out.empty());
  }
}

TEST(ConvertFile, SameEncodingOnBothSidesChecksTheText) {
  TempFolder dir;
  const std::string valid = repeat(kChineseGbk + "abc\r\n", 300);
  dir.write("ok.txt", valid);
  dir.write("bad.txt", valid + "\x81\x20" + valid);
  EXPECT_TRUE(转换单个文件(dir.text("ok.txt"), "GBK", "GBK").已转换);
  EXPECT_EQ(dir.read("GBK  ok.txt"), valid);
  EXPECT_FALSE(转换单个文件(dir.text("bad.txt"), "GBK", "GBK").已转换);
  EXPECT_FALSE(dir.exists("GBK  bad.txt"));
}

TEST(ConvertFile, EmptySourceGivesAnEmptyOutputThatCounts) {
  TempFolder dir;
  dir.write("empty.txt", "");
  const 转换结果 r = 转换单个文件(dir.text("empty.txt"), "UTF-8", "GB18030");
  EXPECT_TRUE(r.已转换);
  ASSERT_TRUE(dir.exists("GB18030  empty.txt"));
  EXPECT_EQ(dir.read("GB18030  empty.txt"), "");

  bool ok = false;
  EXPECT_TRUE(转码字节集(text::ByteSet(), "GBK", "UTF-8", ok).empty());
  EXPECT_TRUE(ok);
}

TEST(ConvertFile, UnknownEncodingNameConvertsNothing) {
  TempFolder dir;
  dir.write("a.txt", "abc");
  EXPECT_FALSE(转换单个文件(dir.text("a.txt"), "UTF-8", "NO-SUCH-CODE").已转换);
  EXPECT_FALSE(转换单个文件(dir.text("a.txt"), "NO-SUCH-CODE", "GBK").已转换);
  // Even empty data fails when the name is refused.
  bool ok = true;
  EXPECT_TRUE(转码字节集(text::ByteSet(), "UTF-8", "NO-SUCH-CODE", ok).empty());
  EXPECT_FALSE(ok);
  EXPECT_EQ(dir.names(), std::set<std::string>{"a.txt"});
}

TEST(ConvertFile, ChineseFolderNamesSurviveIntoTheOutputPath) {
  TempFolder dir;
  // 誠盶 are D5 5C B1 5C in GBK: trail bytes of the value of "\".
  std::filesystem::create_directory(dir.native("誠盶"));
  dir.write("誠盶/章节.txt", kChineseUtf8);
  const std::string source = dir.text("誠盶/章节.txt");
  ASSERT_NE(source.find("\xD5\x5C\xB1\x5C"), std::string::npos);
  const 转换结果 r = 转换单个文件(source, "UTF-8", "GBK");
  ASSERT_TRUE(r.已转换);
  EXPECT_EQ(r.输出路径, dir.text("誠盶/GBK  章节.txt"));
  EXPECT_EQ(dir.read("誠盶/GBK  章节.txt"), kChineseGbk);
}

TEST(WholeFile, WritesEveryPieceInOrderAndReadsItBack) {
  TempFolder dir;
  const text::ByteSet piece(std::string_view("two "));
  ASSERT_TRUE(写出文件(dir.text("w.txt"), std::string_view("one "), piece, text::ByteSet(),
                       std::string_view("three")));
  EXPECT_EQ(dir.read("w.txt"), "one two three");
  EXPECT_EQ(读取整个文件(dir.text("w.txt")).view(), "one two three");
  EXPECT_FALSE(写出文件("", std::string_view("x")));
  EXPECT_TRUE(读取整个文件("").empty());
  EXPECT_EQ(dir.names(), std::set<std::string>{"w.txt"});
}

