// bixiqin-convert as a user runs it: the built program in a child process,
// on real files in a fresh folder, with its standard streams and exit code
// read back.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

class Folder {
 public:
  Folder() {
    std::string name = (fs::temp_directory_path() / "bixiqin-cli-XXXXXX").string();
    if (::mkdtemp(name.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = name;
  }
  ~Folder() { fs::remove_all(path_); }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;

  std::string at(const std::string& name) const { return (path_ / name).string(); }
  void write(const std::string& name, std::string_view bytes) const {
    std::ofstream(path_ / name, std::ios::binary) << bytes;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::set<std::string> names() const {
    std::set<std::string> out;
    for (const auto& entry : fs::directory_iterator(path_)) out.insert(entry.path().filename().string());
    return out;
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

struct Ran {
  int exit_code = -1;  // -1 when the program did not end normally
  std::string out;
  std::string err;
};

// Runs the program with `args`, the environment `env` and nothing else in
// it, `input` as standard input, in the folder `cwd` when one is given,
// `limit` set in the child before the program starts (a resource limit).
Ran run(const std::vector<std::string>& args, const std::string& input = {},
        const std::vector<std::string>& env = {"LC_ALL=C"}, const fs::path& cwd = {},
        const std::function<void()>& limit = {}) {
  const Folder streams;  // outside the folder under test, which must stay as it is
  streams.write("in", input);
  const std::string in = streams.at("in"), out = streams.at("out"), err = streams.at("err");

  std::vector<char*> argv{const_cast<char*>(BIXIQIN_CONVERT_PROGRAM)};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  const std::string dir = cwd.string();

  const pid_t child = ::fork();
  if (child == 0) {
    const int i = ::open(in.c_str(), O_RDONLY);
    const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (i < 0 || o < 0 || e < 0 || ::dup2(i, 0) < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0) ::_exit(126);
    if (!dir.empty() && ::chdir(dir.c_str()) != 0) ::_exit(126);
    if (limit) limit();
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  Ran ran;
  if (WIFEXITED(status)) ran.exit_code = WEXITSTATUS(status);
  ran.out = streams.read("out");
  ran.err = streams.read("err");
  return ran;
}

TEST(CommandLine, MixedSetNamesEachOutputAndEachFailureAndExitsOne) {
  const Folder f;
  f.write("good.txt", "你好\n");
  f.write("bad.txt", "ab\xFF" "cd\n");

  const Ran ran = run({f.at("good.txt"), f.at("bad.txt"), f.at("missing.txt")});

  EXPECT_EQ(ran.exit_code, 1);
  EXPECT_EQ(ran.out, f.at("GB18030  good.txt") + "\n");
  // 0xFF is the third character of its line: a, b, then the stray byte.
  EXPECT_EQ(ran.err, "bixiqin-convert: " + f.at("bad.txt") + ": line 1, column 3: not valid UTF-8 (bytes FF)\n" +
                         "bixiqin-convert: " + f.at("missing.txt") + ": no such file\n");
  // 你 is C4 E3 and 好 BA C3 in GBK and GB18030 alike.
  EXPECT_EQ(f.read("GB18030  good.txt"), "\xC4\xE3\xBA\xC3\n");
  EXPECT_EQ(f.names(), (std::set<std::string>{"good.txt", "bad.txt", "GB18030  good.txt"}));
}

TEST(CommandLine, UTF8FileConvertedFromGBKIsConvertedWithAWarningEvenWhenQuiet) {
  const Folder f;
  f.write("u.txt", "你好\n");  // E4 BD, A0 E5 and A5 BD are GBK characters too
  const std::string warning = "bixiqin-convert: " + f.at("u.txt") + ": warning: converted from GBK, but";

  const Ran ran = run({"--from", "GBK", "--to", "UTF-8", f.at("u.txt")});
  EXPECT_EQ(ran.exit_code, 0);
  EXPECT_EQ(ran.out, f.at("UTF-8  u.txt") + "\n");
  EXPECT_EQ(ran.err.rfind(warning, 0), 0u) << ran.err;
  EXPECT_EQ(std::count(ran.err.begin(), ran.err.end(), '\n'), 1);

  const Ran quiet = run({"--quiet", "--from=gbk", "--to=utf-8", f.at("u.txt")});
  EXPECT_EQ(quiet.exit_code, 0);
  EXPECT_EQ(quiet.out, "");
  EXPECT_EQ(quiet.err, ran.err);
  EXPECT_TRUE(fs::exists(f.path() / "UTF-8  u.txt"));
}

// The names are typed in lower case; the conversion and the output name take
// the window's spelling.
TEST(CommandLine, EncodingNamesInAnyCaseBecomeTheWindowsNames) {
  const Folder f;
  f.write("a.txt", "abc\n");
  for (const std::string name : {"GBK", "GB18030", "UTF-8"}) {
    std::string typed = name;
    for (char& c : typed) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));

    const Ran ran = run({"--from", "utf-8", "--to", typed, f.at("a.txt")});
    EXPECT_EQ(ran.exit_code, 0) << typed << ": " << ran.err;
    EXPECT_EQ(ran.out, f.at(name + "  a.txt") + "\n");
    EXPECT_EQ(ran.err, "");
    EXPECT_EQ(f.read(name + "  a.txt"), "abc\n");
  }
}

TEST(CommandLine, UsageErrorsExitTwoAndWriteNothing) {
  const Folder f;
  f.write("a.txt", "abc\n");
  const std::vector<std::vector<std::string>> cases = {
      {"--frm", "UTF-8", f.at("a.txt")},
      {"--to", "BIG5", f.at("a.txt")},  // iconv knows it; the tool does not
      {"--to=", f.at("a.txt")},
      {f.at("a.txt"), "--to"},
      {f.at("a.txt"), "-q"},
  };
  for (const auto& args : cases) {
    const Ran ran = run(args);
    EXPECT_EQ(ran.exit_code, 2) << args[0] << " " << args[1];
    EXPECT_EQ(ran.out, "");
    EXPECT_NE(ran.err.find("\nUsage: bixiqin-convert [--from ENC] [--to ENC]"), std::string::npos) << ran.err;
  }
  EXPECT_EQ(f.names(), std::set<std::string>{"a.txt"});

  EXPECT_EQ(run({"--version"}).out, "bixiqin-convert 1.0\n");
  const Ran help = run({"--help", f.at("a.txt")});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_EQ(help.out.rfind("Usage: bixiqin-convert", 0), 0u);
  EXPECT_EQ(f.names(), std::set<std::string>{"a.txt"});
}

TEST(CommandLine, NamesFromStandardInputByLineOrByNul) {
  const Folder f;
  f.write("a b.txt", "1\n");
  f.write("line\nbreak.txt", "2\n");
  f.write("c.txt", "3\n");

  // NUL-separated names may hold a line break, as find -print0 gives them.
  const Ran null = run({"--null"}, f.at("a b.txt") + '\0' + f.at("line\nbreak.txt") + '\0');
  EXPECT_EQ(null.exit_code, 0) << null.err;
  // And the outputs are named NUL-ended too, for xargs -0 and the like.
  EXPECT_EQ(null.out, f.at("GB18030  a b.txt") + '\0' + f.at("GB18030  line\nbreak.txt") + '\0');

  // "-" reads the list at its place among the arguments; an empty line is no
  // name, and the last name needs no line end.
  const Ran lines = run({f.at("c.txt"), "-"}, f.at("a b.txt") + "\n\n" + f.at("c.txt"));
  EXPECT_EQ(lines.exit_code, 0) << lines.err;
  EXPECT_EQ(lines.out, f.at("GB18030  c.txt") + "\n" + f.at("GB18030  a b.txt") + "\n" +
                           f.at("GB18030  c.txt") + "\n");
}

TEST(CommandLine, DoubleDashMakesADashNameAFile) {
  const Folder f;
  f.write("-x.txt", "x\n");

  const Ran as_option = run({"-x.txt"}, {}, {"LC_ALL=C"}, f.path());
  EXPECT_EQ(as_option.exit_code, 2);
  EXPECT_EQ(f.names(), std::set<std::string>{"-x.txt"});

  const Ran as_file = run({"--", "-x.txt"}, {}, {"LC_ALL=C"}, f.path());
  EXPECT_EQ(as_file.exit_code, 0) << as_file.err;
  EXPECT_EQ(as_file.out, "GB18030  -x.txt\n");  // beside it, in the current folder
  EXPECT_EQ(f.read("GB18030  -x.txt"), "x\n");
}

TEST(CommandLine, ReasonsFollowTheLocalesMessageLanguage) {
  const Folder f;
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
    const Ran ran = run({f.at("bad.txt")}, {}, c.env);
    EXPECT_EQ(ran.exit_code, 1);
    EXPECT_EQ(ran.err, "bixiqin-convert: " + f.at("bad.txt") + ": " + c.reason + "\n")
        << (c.env.empty() ? "(empty)" : c.env.front());
  }
}

// Catches a line-separated list read name by name: find -print0 without
// --null converted the first name and printed the rest glued to it.
TEST(CommandLine, NamesJoinedByNulWithoutNullAreAUsageErrorAndConvertNothing) {
  const Folder f;
  f.write("a.txt", "a\n");
  f.write("b.txt", "b\n");
  const Ran ran = run({"-"}, f.at("a.txt") + "\n" + f.at("b.txt") + '\0' + f.at("a.txt") + '\0');
  EXPECT_EQ(ran.exit_code, 2);
  EXPECT_EQ(ran.out, "");
  EXPECT_NE(ran.err.find("--null"), std::string::npos) << ran.err;
  EXPECT_EQ(f.names(), (std::set<std::string>{"a.txt", "b.txt"}));
}

// Catches UTF-8 to UTF-8 handed to iconv alone, which copies values beyond
// U+10FFFF and five-byte forms that it rejects towards GB18030.
TEST(CommandLine, UTF8ToUTF8RejectsWhatUTF8ToGB18030RejectsAtTheSamePlace) {
  const Folder f;
  f.write("big.txt", "ab\n\xE4\xB8\xAD" "c\xF4\x90\x80\x80z\n");
  f.write("five.txt", "\xF8\x88\x80\x80\x80\n");
  for (const std::string file : {"big.txt", "five.txt"}) {
    const Ran to_gb = run({"--to", "GB18030", f.at(file)});
    const Ran to_utf8 = run({"--to", "UTF-8", f.at(file)});
    EXPECT_EQ(to_utf8.exit_code, 1) << file;
    EXPECT_EQ(to_gb.exit_code, 1) << file;
    EXPECT_EQ(to_utf8.err, to_gb.err);
  }
  // 中 and c before it: the third character of line 2.
  // (Its reason's first line: these bytes happen to be valid GBK, and a
  // second line says so.)
  EXPECT_EQ(run({"--to", "UTF-8", f.at("big.txt")}).err.rfind(
                "bixiqin-convert: " + f.at("big.txt") + ": line 2, column 3: not valid UTF-8 (bytes F4 90 80 80)\n", 0),
            0u);
  EXPECT_EQ(f.names(), (std::set<std::string>{"big.txt", "five.txt"}));
}

// Catches SIGXFSZ left at its default (the program was killed at the first
// large file, saying nothing) and EFBIG told as a full disk.
TEST(CommandLine, AFileOverTheSizeLimitIsReportedAndTheNextOneStillConverts) {
  const Folder f;
  f.write("big.txt", std::string(3 << 20, 'a'));
  f.write("small.txt", "abc\n");
  const Ran ran = run({f.at("big.txt"), f.at("small.txt")}, {}, {"LC_ALL=C"}, {}, [] {
    const rlimit one_mib{1 << 20, 1 << 20};
    ::setrlimit(RLIMIT_FSIZE, &one_mib);
  });
  EXPECT_EQ(ran.exit_code, 1);
  EXPECT_EQ(ran.err, "bixiqin-convert: " + f.at("big.txt") +
                         ": the output is larger than this system allows for one file\n");
  EXPECT_EQ(ran.out, f.at("GB18030  small.txt") + "\n");
  EXPECT_EQ(f.names(), (std::set<std::string>{"big.txt", "small.txt", "GB18030  small.txt"}));
}

// Catches the window's splitting at a backslash used for names the system
// gave: on this system a backslash is part of a file's name.
TEST(CommandLine, ABackslashIsPartOfAName) {
  const Folder f;
  f.write("a\\b.txt", "x\n");
  const Ran ran = run({"a\\b.txt"}, {}, {"LC_ALL=C"}, f.path());
  EXPECT_EQ(ran.exit_code, 0) << ran.err;
  EXPECT_EQ(ran.out, "GB18030  a\\b.txt\n");
  EXPECT_EQ(f.read("GB18030  a\\b.txt"), "x\n");
  EXPECT_EQ(f.names(), (std::set<std::string>{"a\\b.txt", "GB18030  a\\b.txt"}));
}

// Catches the reasons that named the wrong cause: a name too long for the
// system read as "could not be read", a file of the kernel's whose size is
// a page as "another program changed it".
TEST(CommandLine, ANameTooLongAndAKernelFileGetTheirOwnReasons) {
  const Folder f;
  const std::string long_name = f.at(std::string(300, 'n'));  // a name has 255 bytes at most
  EXPECT_EQ(run({long_name}).err, "bixiqin-convert: " + long_name + ": its name is too long\n");
  fs::create_symlink("/sys/devices/system/cpu/online", f.path() / "online.txt");
  EXPECT_EQ(run({f.at("online.txt")}).err, "bixiqin-convert: " + f.at("online.txt") + ": not a regular file\n");
}

// Catches a suggestion missing from the command line, or given in the
// wrong language: a second line names the encoding the file reads as.
TEST(CommandLine, AFileInvalidInItsEncodingGetsALineNamingTheOneItReadsAs) {
  const Folder f;
  f.write("gbk.txt", "\xB5\xDA\xD2\xBB\xD5\xC2\n");  // 第一章 in GBK
  const std::string where = "bixiqin-convert: " + f.at("gbk.txt") + ": ";
  EXPECT_EQ(run({f.at("gbk.txt")}).err, where + "line 1, column 1: not valid UTF-8 (bytes B5)\n" + where +
                                            "it looks like GBK: use --from GBK\n");
  EXPECT_EQ(run({f.at("gbk.txt")}, {}, {"LANG=zh_CN.UTF-8"}).err,
            where + "第 1 行第 1 列：不是有效的 UTF-8 字节 (B5)\n" + where + "看起来是 GBK 编码：原编码请选 GBK\n");
  EXPECT_EQ(f.names(), std::set<std::string>{"gbk.txt"});
}

// Catches --skip-outputs taking the whole path, or names with one blank,
// and usage errors that stay English for a Chinese user.
TEST(CommandLine, SkipOutputsLeavesOutOutputsAndUsageErrorsSpeakTheUsersLanguage) {
  const Folder f;
  f.write("a.txt", "a\n");
  f.write("GB18030  a.txt", "old\n");
  f.write("GBK a.txt", "b\n");
  const Ran ran = run({"--skip-outputs", f.at("a.txt"), f.at("GB18030  a.txt"), f.at("GBK a.txt")});
  EXPECT_EQ(ran.exit_code, 0) << ran.err;
  EXPECT_EQ(ran.out, f.at("GB18030  a.txt") + "\n" + f.at("GB18030  GBK a.txt") + "\n");
  EXPECT_EQ(f.read("GB18030  a.txt"), "a\n");
  EXPECT_FALSE(fs::exists(f.path() / "GB18030  GB18030  a.txt"));

  const Ran zh = run({"--frm", f.at("a.txt")}, {}, {"LANG=zh_CN.UTF-8"});
  EXPECT_EQ(zh.exit_code, 2);
  EXPECT_EQ(zh.err.rfind("bixiqin-convert: 不认识的选项 '--frm'\n", 0), 0u) << zh.err;
  EXPECT_NE(zh.err.find("详细用法请运行 'bixiqin-convert --help'。"), std::string::npos);
}

}  // namespace

