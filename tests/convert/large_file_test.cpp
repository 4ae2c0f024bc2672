// Large files take another route to disk: the output is built in place in
// the new file's pages. These cases hold that route to the same promises as
// the ordinary one: exact bytes, all or nothing, and a full disk or a size
// limit never leaving a partial file.
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "convert/single_file.h"
#include "temp_folder.h"

namespace {

// 7 bytes in UTF-8 and 5 in GBK a line: a million lines are 7 MB and 5 MB,
// both above the size from which outputs are built in place.
const std::string kLineUtf8 = "\xE4\xB8\xAD\xE6\x96\x87\n";  // 中文
const std::string kLineGbk = "\xD6\xD0\xCE\xC4\n";
constexpr int kLines = 1000000;

std::string lines(const std::string& line, int count = kLines) {
  std::string out;
  out.reserve(line.size() * static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) out += line;
  return out;
}

// Runs `body` in a child process and gives its exit code (-1 when it did
// not exit normally): size limits and mounts must not reach the test runner.
int in_child(const std::function<int()>& body) {
  const pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

constexpr int kCannotMount = 77;

// A private tmpfs of `mib` MiB over `dir`, seen only by this process.
bool mount_small_disk(const TempFolder& dir, int mib) {
  if (unshare(CLONE_NEWNS) != 0) return false;
  if (mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return false;
  const std::string options = "size=" + std::to_string(mib) + "m";
  return mount("tmpfs", dir.path().c_str(), "tmpfs", 0, options.c_str()) == 0;
}

}  // namespace

TEST(LargeFile, BothDirectionsGiveTheExactBytesAndReplaceTheOlderOutput) {
  TempFolder dir;
  dir.write("u.txt", lines(kLineUtf8));
  dir.write("g.txt", lines(kLineGbk));
  dir.write("GBK  u.txt", "older output");

  const 转换结果 to_gbk = 转换单个文件(dir.text("u.txt"), "UTF-8", "GBK");
  ASSERT_TRUE(to_gbk.已转换);
  EXPECT_EQ(to_gbk.输出路径, dir.text("GBK  u.txt"));
  EXPECT_TRUE(dir.read("GBK  u.txt") == lines(kLineGbk));
  // Output larger than the input: the room grows while the file is mapped.
  ASSERT_TRUE(转换单个文件(dir.text("g.txt"), "GBK", "UTF-8").已转换);
  EXPECT_TRUE(dir.read("UTF-8  g.txt") == lines(kLineUtf8));

  EXPECT_EQ(dir.names(), (std::set<std::string>{"u.txt", "g.txt", "GBK  u.txt", "UTF-8  g.txt"}));
}

TEST(LargeFile, AnInvalidSequenceNearTheEndLeavesNothingNew) {
  TempFolder dir;
  dir.write("u.txt", lines(kLineUtf8) + "\xE4\xB8");  // cut off at the very end
  dir.write("GBK  u.txt", "older output");
  EXPECT_FALSE(转换单个文件(dir.text("u.txt"), "UTF-8", "GBK").已转换);
  EXPECT_EQ(dir.read("GBK  u.txt"), "older output");
  EXPECT_EQ(dir.names(), (std::set<std::string>{"u.txt", "GBK  u.txt"}));
}

// The file size limit stands in for a full disk: first when not even the
// input's size can be reserved, then when the room cannot grow half-way.
TEST(LargeFile, SizeLimitBeforeOrDuringTheConversionKeepsTheOlderOutput) {
  for (const rlim_t limit : {rlim_t{1} << 20, rlim_t{6} << 20}) {
    TempFolder dir;
    dir.write("g.txt", lines(kLineGbk));
    dir.write("UTF-8  g.txt", "older output");
    const int code = in_child([&] {
      signal(SIGXFSZ, SIG_IGN);
      const rlimit r{limit, limit};
      if (setrlimit(RLIMIT_FSIZE, &r) != 0) return 2;
      return 转换单个文件(dir.text("g.txt"), "GBK", "UTF-8").已转换 ? 1 : 0;
    });
    EXPECT_EQ(code, 0) << "limit " << limit;
    EXPECT_EQ(dir.read("UTF-8  g.txt"), "older output") << "limit " << limit;
    EXPECT_EQ(dir.names(), (std::set<std::string>{"g.txt", "UTF-8  g.txt"})) << "limit " << limit;
  }
}

// A disk with room for the output but not for the input's size reserved
// ahead still converts (the ordinary way); one without room for the output
// converts nothing and keeps nothing.
TEST(LargeFile, NearlyFullDiskConvertsWhatFitsAndLeavesNothingOtherwise) {
  struct Case {
    int disk_mib;
    bool fits;
  };
  for (const Case c : {Case{13, true}, Case{10, false}}) {
    TempFolder dir;
    const int code = in_child([&] {
      if (!mount_small_disk(dir, c.disk_mib)) return kCannotMount;
      dir.write("u.txt", lines(kLineUtf8));  // 7 MB; its GBK output is 5 MB
      const bool converted = 转换单个文件(dir.text("u.txt"), "UTF-8", "GBK").已转换;
      if (converted != c.fits) return 1;
      const std::set<std::string> expected =
          c.fits ? std::set<std::string>{"u.txt", "GBK  u.txt"} : std::set<std::string>{"u.txt"};
      if (dir.names() != expected) return 3;
      if (c.fits && dir.read("GBK  u.txt") != lines(kLineGbk)) return 4;
      return 0;
    });
    if (code == kCannotMount) GTEST_SKIP() << "no private mounts for this user";
    EXPECT_EQ(code, 0) << c.disk_mib << " MiB disk";
  }
}
