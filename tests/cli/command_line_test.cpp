// bixiqin-convert as a user runs it, on both systems: real files in a fresh
// folder, the lines it writes and its exit code.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "program_run.h"

namespace {

using Names = std::set<std::string>;

// Catches arguments taken in a narrow code page (on Windows the C runtime's
// argv gives "?" for 你 and 好), argv[0] taken for a file to convert, lines
// in anything but UTF-8, and an exit code 0 with files not converted.
TEST(CommandLine, MixedSetNamesEachOutputAndEachFailureAndExitsOne) {
  const TempFolder f;
  f.write("你好.txt", "你好\n");
  f.write("bad.txt", "ab\xFF" "cd\n");

  const Ran ran = run({at(f, "你好.txt"), at(f, "bad.txt"), at(f, "missing.txt")});

  EXPECT_EQ(ran.exit_code, 1);
  EXPECT_EQ(ran.out, at(f, "GB18030  你好.txt") + "\n");
  // 0xFF is the third character of its line: a, b, then the stray byte.
  EXPECT_EQ(ran.err, "bixiqin-convert: " + at(f, "bad.txt") + ": " +
                         in_run_language("第 1 行第 3 列：不是有效的 UTF-8 字节 (FF)",
                                         "line 1, column 3: not valid UTF-8 (bytes FF)") +
                         "\nbixiqin-convert: " + at(f, "missing.txt") + ": " +
                         in_run_language("找不到这个文件", "no such file") + "\n");
  // 你 is C4 E3 and 好 BA C3 in GBK and GB18030 alike.
  EXPECT_EQ(f.read("GB18030  你好.txt"), "\xC4\xE3\xBA\xC3\n");
  EXPECT_EQ(f.names(), (Names{"你好.txt", "bad.txt", "GB18030  你好.txt"}));
}

TEST(CommandLine, UTF8FileConvertedFromGBKIsConvertedWithAWarningEvenWhenQuiet) {
  const TempFolder f;
  f.write("u.txt", "你好\n");  // E4 BD, A0 E5 and A5 BD are GBK characters too
  const std::string warning =
      "bixiqin-convert: " + at(f, "u.txt") + ": " + in_run_language("警告：已按 GBK 转换，但", "warning: converted from GBK, but");

  const Ran ran = run({"--from", "GBK", "--to", "UTF-8", at(f, "u.txt")});
  EXPECT_EQ(ran.exit_code, 0);
  EXPECT_EQ(ran.out, at(f, "UTF-8  u.txt") + "\n");
  EXPECT_EQ(ran.err.rfind(warning, 0), 0u) << ran.err;
  EXPECT_EQ(std::count(ran.err.begin(), ran.err.end(), '\n'), 1);

  const Ran quiet = run({"--quiet", "--from=gbk", "--to=utf-8", at(f, "u.txt")});
  EXPECT_EQ(quiet.exit_code, 0);
  EXPECT_EQ(quiet.out, "");
  EXPECT_EQ(quiet.err, ran.err);
  EXPECT_TRUE(f.exists("UTF-8  u.txt"));
}

// The names are typed in lower case; the conversion and the output name take
// the window's spelling.
TEST(CommandLine, EncodingNamesInAnyCaseBecomeTheWindowsNames) {
  const TempFolder f;
  f.write("a.txt", "abc\n");
  for (const std::string name : {"GBK", "GB18030", "UTF-8"}) {
    std::string typed = name;
    for (char& c : typed) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));

    const Ran ran = run({"--from", "utf-8", "--to", typed, at(f, "a.txt")});
    EXPECT_EQ(ran.exit_code, 0) << typed << ": " << ran.err;
    EXPECT_EQ(ran.out, at(f, name + "  a.txt") + "\n");
    EXPECT_EQ(ran.err, "");
    EXPECT_EQ(f.read(name + "  a.txt"), "abc\n");
  }
}

TEST(CommandLine, UsageErrorsExitTwoAndWriteNothing) {
  const TempFolder f;
  f.write("a.txt", "abc\n");
  const std::vector<std::vector<std::string>> cases = {
      {"--frm", "UTF-8", at(f, "a.txt")},
      {"--to", "BIG5", at(f, "a.txt")},  // iconv knows it; the tool does not
      {"--to=", at(f, "a.txt")},
      {at(f, "a.txt"), "--to"},
      {at(f, "a.txt"), "-q"},
  };
  for (const auto& args : cases) {
    const Ran ran = run(args);
    EXPECT_EQ(ran.exit_code, 2) << args[0] << " " << args[1];
    EXPECT_EQ(ran.out, "");
    EXPECT_NE(ran.err.find("\nUsage: bixiqin-convert [--from ENC] [--to ENC]"), std::string::npos) << ran.err;
  }
  EXPECT_EQ(f.names(), Names{"a.txt"});

  EXPECT_EQ(run({"--version"}).out, "bixiqin-convert 1.0\n");
  const Ran help = run({"--help", at(f, "a.txt")});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_EQ(help.out.rfind("Usage: bixiqin-convert", 0), 0u);
  EXPECT_EQ(f.names(), Names{"a.txt"});
}

// "-" reads the list at its place among the arguments; an empty line is no
// name, and the last name needs no line end.
TEST(CommandLine, ADashReadsNamesFromStandardInputAtItsPlace) {
  const TempFolder f;
  f.write("a b.txt", "1\n");
  f.write("c.txt", "3\n");
  const Ran lines = run({at(f, "c.txt"), "-"}, at(f, "a b.txt") + "\n\n" + at(f, "c.txt"));
  EXPECT_EQ(lines.exit_code, 0) << lines.err;
  EXPECT_EQ(lines.out, at(f, "GB18030  c.txt") + "\n" + at(f, "GB18030  a b.txt") + "\n" +
                           at(f, "GB18030  c.txt") + "\n");
}

TEST(CommandLine, DoubleDashMakesADashNameAFile) {
  const TempFolder f;
  f.write("-x.txt", "x\n");

  const Ran as_option = run({"-x.txt"}, {}, f.path());
  EXPECT_EQ(as_option.exit_code, 2);
  EXPECT_EQ(f.names(), Names{"-x.txt"});

  const Ran as_file = run({"--", "-x.txt"}, {}, f.path());
  EXPECT_EQ(as_file.exit_code, 0) << as_file.err;
  EXPECT_EQ(as_file.out, "GB18030  -x.txt\n");  // beside it, in the current folder
  EXPECT_EQ(f.read("GB18030  -x.txt"), "x\n");
}

// Catches a line-separated list read name by name: find -print0 without
// --null converted the first name and printed the rest glued to it.
TEST(CommandLine, NamesJoinedByNulWithoutNullAreAUsageErrorAndConvertNothing) {
  const TempFolder f;
  f.write("a.txt", "a\n");
  f.write("b.txt", "b\n");
  const Ran ran = run({"-"}, at(f, "a.txt") + "\n" + at(f, "b.txt") + '\0' + at(f, "a.txt") + '\0');
  EXPECT_EQ(ran.exit_code, 2);
  EXPECT_EQ(ran.out, "");
  EXPECT_NE(ran.err.find("--null"), std::string::npos) << ran.err;
  EXPECT_EQ(f.names(), (Names{"a.txt", "b.txt"}));
}

// Catches UTF-8 to UTF-8 handed to iconv alone, which copies values beyond
// U+10FFFF and five-byte forms that it rejects towards GB18030.
TEST(CommandLine, UTF8ToUTF8RejectsWhatUTF8ToGB18030RejectsAtTheSamePlace) {
  const TempFolder f;
  f.write("big.txt", "ab\n\xE4\xB8\xAD" "c\xF4\x90\x80\x80z\n");
  f.write("five.txt", "\xF8\x88\x80\x80\x80\n");
  for (const std::string file : {"big.txt", "five.txt"}) {
    const Ran to_gb = run({"--to", "GB18030", at(f, file)});
    const Ran to_utf8 = run({"--to", "UTF-8", at(f, file)});
    EXPECT_EQ(to_utf8.exit_code, 1) << file;
    EXPECT_EQ(to_gb.exit_code, 1) << file;
    EXPECT_EQ(to_utf8.err, to_gb.err);
  }
  // 中 and c before it: the third character of line 2.
  // (Its reason's first line: these bytes happen to be valid GBK, and a
  // second line says so.)
  EXPECT_EQ(run({"--to", "UTF-8", at(f, "big.txt")})
                .err.rfind("bixiqin-convert: " + at(f, "big.txt") + ": " +
                               in_run_language("第 2 行第 3 列：不是有效的 UTF-8 字节 (F4 90 80 80)",
                                               "line 2, column 3: not valid UTF-8 (bytes F4 90 80 80)") +
                               "\n",
                           0),
            0u);
  EXPECT_EQ(f.names(), (Names{"big.txt", "five.txt"}));
}

// Catches a suggestion missing from the command line: a second line names
// the encoding the file reads as.
TEST(CommandLine, AFileInvalidInItsEncodingGetsALineNamingTheOneItReadsAs) {
  const TempFolder f;
  f.write("gbk.txt", "\xB5\xDA\xD2\xBB\xD5\xC2\n");  // 第一章 in GBK
  const std::string where = "bixiqin-convert: " + at(f, "gbk.txt") + ": ";
  EXPECT_EQ(run({at(f, "gbk.txt")}).err,
            where + in_run_language("第 1 行第 1 列：不是有效的 UTF-8 字节 (B5)", "line 1, column 1: not valid UTF-8 (bytes B5)") +
                "\n" + where + in_run_language("看起来是 GBK 编码：原编码请选 GBK", "it looks like GBK: use --from GBK") + "\n");
  EXPECT_EQ(f.names(), Names{"gbk.txt"});
}

// Catches --skip-outputs taking the whole path, or names with one blank.
TEST(CommandLine, SkipOutputsLeavesOutOutputs) {
  const TempFolder f;
  f.write("a.txt", "a\n");
  f.write("GB18030  a.txt", "old\n");
  f.write("GBK a.txt", "b\n");
  const Ran ran = run({"--skip-outputs", at(f, "a.txt"), at(f, "GB18030  a.txt"), at(f, "GBK a.txt")});
  EXPECT_EQ(ran.exit_code, 0) << ran.err;
  EXPECT_EQ(ran.out, at(f, "GB18030  a.txt") + "\n" + at(f, "GB18030  GBK a.txt") + "\n");
  EXPECT_EQ(f.read("GB18030  a.txt"), "a\n");
  EXPECT_FALSE(f.exists("GB18030  GB18030  a.txt"));
}

}  // namespace
