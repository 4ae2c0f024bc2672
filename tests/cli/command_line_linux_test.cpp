// bixiqin-convert on what only Linux has: the locale's variables, names
// with line breaks and backslashes, resource limits, kernel files, and
// standard output on a full disk or a closed pipe.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

#include "program_run_linux.h"

namespace {

using Names = std::set<std::string>;

TEST(CommandLine, ReasonsFollowTheLocalesMessageLanguage) {
  const TempFolder f;
  f.write("bad.txt", "ab\xFF" "cd\n");
  const std::string english = "line 1, column 3: not valid UTF-8 (bytes FF)";
  const std::string chinese = "第 1 行第 3 列：不是有效的 UTF-8 字节 (FF)";
  const struct {
    std::vector<std::string> env;
    std::string reason;
  } cases[] = {
      {{"LC_ALL=C", "LC_MESSAGES=zh_CN.UTF-8", "LANG=zh_CN.UTF-8"}, english},
      {{"LC_ALL=", "LC_MESSAGES=zh_CN.UTF-8", "LANG=C"}, chinese},
      {{"LC_MESSAGES=en_US.UTF-8", "LANG=zh_CN.UTF-8"}, english},
      {{"LANG=zh_TW.UTF-8"}, chinese},
      {{}, english},
  };
  for (const auto& c : cases) {
    const Ran ran = run_with({at(f, "bad.txt")}, {}, c.env);
    EXPECT_EQ(ran.exit_code, 1);
    EXPECT_EQ(ran.err, "bixiqin-convert: " + at(f, "bad.txt") + ": " + c.reason + "\n")
        << (c.env.empty() ? "(empty)" : c.env.front());
  }

  // The suggestion and the usage errors speak the user's language too.
  f.write("gbk.txt", "\xB5\xDA\xD2\xBB\xD5\xC2\n");  // 第一章 in GBK
  const std::string where = "bixiqin-convert: " + at(f, "gbk.txt") + ": ";
  EXPECT_EQ(run_with({at(f, "gbk.txt")}, {}, {"LANG=zh_CN.UTF-8"}).err,
            where + "第 1 行第 1 列：不是有效的 UTF-8 字节 (B5)\n" + where + "看起来是 GBK 编码：原编码请选 GBK\n");
  const Ran zh = run_with({"--frm", at(f, "a.txt")}, {}, {"LANG=zh_CN.UTF-8"});
  EXPECT_EQ(zh.exit_code, 2);
  EXPECT_EQ(zh.err.rfind("bixiqin-convert: 不认识的选项 '--frm'\n", 0), 0u) << zh.err;
  EXPECT_NE(zh.err.find("详细用法请运行 'bixiqin-convert --help'。"), std::string::npos);
}

// NUL-separated names may hold a line break, as find -print0 gives them.
TEST(CommandLine, NamesEndedByNulMayHoldLineBreaksAndSoMayTheOutputNames) {
  const TempFolder f;
  f.write("a b.txt", "1\n");
  f.write("line\nbreak.txt", "2\n");
  const Ran null = run({"--null"}, at(f, "a b.txt") + '\0' + at(f, "line\nbreak.txt") + '\0');
  EXPECT_EQ(null.exit_code, 0) << null.err;
  // The outputs are named NUL-ended too, for xargs -0 and the like.
  EXPECT_EQ(null.out, at(f, "GB18030  a b.txt") + '\0' + at(f, "GB18030  line\nbreak.txt") + '\0');
}

// Catches SIGXFSZ left at its default (the program was killed at the first
// large file, saying nothing) and EFBIG told as a full disk.
TEST(CommandLine, AFileOverTheSizeLimitIsReportedAndTheNextOneStillConverts) {
  const TempFolder f;
  f.write("big.txt", std::string(3 << 20, 'a'));
  f.write("small.txt", "abc\n");
  const Ran ran = run_with({at(f, "big.txt"), at(f, "small.txt")}, {}, {"LC_ALL=C"}, {}, [] {
    const rlimit one_mib{1 << 20, 1 << 20};
    ::setrlimit(RLIMIT_FSIZE, &one_mib);
  });
  EXPECT_EQ(ran.exit_code, 1);
  EXPECT_EQ(ran.err, "bixiqin-convert: " + at(f, "big.txt") +
                         ": the output is larger than this system allows for one file\n");
  EXPECT_EQ(ran.out, at(f, "GB18030  small.txt") + "\n");
  EXPECT_EQ(f.names(), (Names{"big.txt", "small.txt", "GB18030  small.txt"}));
}

// Catches the window's splitting at a backslash used for names the system
// gave: on this system a backslash is part of a file's name.
TEST(CommandLine, ABackslashIsPartOfAName) {
  const TempFolder f;
  f.write("a\\b.txt", "x\n");
  const Ran ran = run({"a\\b.txt"}, {}, f.path());
  EXPECT_EQ(ran.exit_code, 0) << ran.err;
  EXPECT_EQ(ran.out, "GB18030  a\\b.txt\n");
  EXPECT_EQ(f.read("GB18030  a\\b.txt"), "x\n");
  EXPECT_EQ(f.names(), (Names{"a\\b.txt", "GB18030  a\\b.txt"}));
}

// Catches the reasons that named the wrong cause: a name too long for the
// system read as "could not be read", a file of the kernel's whose size is
// a page as "another program changed it".
TEST(CommandLine, ANameTooLongAndAKernelFileGetTheirOwnReasons) {
  const TempFolder f;
  const std::string long_name = at(f, std::string(300, 'n'));  // a name has 255 bytes at most
  EXPECT_EQ(run({long_name}).err, "bixiqin-convert: " + long_name + ": its name is too long\n");
  std::filesystem::create_symlink("/sys/devices/system/cpu/online", f.native("online.txt"));
  EXPECT_EQ(run({at(f, "online.txt")}).err, "bixiqin-convert: " + at(f, "online.txt") + ": not a regular file\n");
}

// Catches a failed flush of standard output left unchecked (a full disk
// said nothing and exited 0) and SIGPIPE at its default (a closed pipe
// ended the program without a word): either way the outputs are made, a
// line on standard error says the names were not all written, and the
// exit status is 1.
TEST(CommandLine, StandardOutputOnAFullDiskOrAClosedPipeFailsTheRunButNotTheFiles) {
  const TempFolder f;
  f.write("a.txt", "a\n");
  f.write("b.txt", "b\n");
  const std::string said = "bixiqin-convert: standard output could not be written\n";
  const auto output_to = [&](const std::function<int()>& open_output) {
    return run_with({at(f, "a.txt"), at(f, "b.txt")}, {}, {"LC_ALL=C"}, {}, [&] {
      const int out = open_output();
      if (out < 0 || ::dup2(out, 1) < 0) ::_exit(126);
    });
  };

  const Ran full = output_to([] { return ::open("/dev/full", O_WRONLY); });
  EXPECT_EQ(full.exit_code, 1);  // -1: ended by a signal
  EXPECT_EQ(full.err, said);
  EXPECT_EQ(f.read("GB18030  a.txt"), "a\n");
  EXPECT_EQ(f.read("GB18030  b.txt"), "b\n");

  f.write("GB18030  a.txt", "old\n");
  const Ran closed = output_to([] {
    int ends[2];
    if (::pipe(ends) != 0) return -1;
    ::close(ends[0]);  // nobody will read
    return ends[1];
  });
  EXPECT_EQ(closed.exit_code, 1);
  EXPECT_EQ(closed.err, said);
  EXPECT_EQ(f.read("GB18030  a.txt"), "a\n");
}

}  // namespace
