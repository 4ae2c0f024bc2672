// Files that cannot be read or written are never counted as converted and
// never leave a partial or damaged output. These hold for root too, so none
// rests on permissions. Here: what needs Linux's FIFOs and devices, private
// mounts and the file size limit (the rest is in failure_test.cpp).
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/sysmacros.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <functional>

#include "convert/single_file.h"
#include "convert/whole_file.h"
#include "platform/application.h"
#include "private_disk.h"
#include "temp_folder.h"

namespace {

const std::string kChineseUtf8 = "\xE4\xB8\xAD\xE6\x96\x87";  // 中文

}  // namespace

// Sources that are not regular files are refused without reading them (a
// FIFO would block, a device would pass for an empty file) and never taken
// for empty files: the older output stays as it was.
TEST(ConvertFailure, SourcesThatAreNotReadableFilesAreNotConverted) {
  struct Case {
    const char* what;
    std::function<bool(const TempFolder&)> make;
  };
  const Case cases[] = {
      {"missing", [](const TempFolder&) { return true; }},
      {"folder",
       [](const TempFolder& dir) { return std::filesystem::create_directory(dir.native("s.txt")); }},
      {"FIFO", [](const TempFolder& dir) { return mkfifo(dir.native("s.txt").c_str(), 0666) == 0; }},
      {"character device",
       [](const TempFolder& dir) {
         // The null device: opening and reading it would succeed, empty.
         // A user who may make no device reaches the system's by a link.
         const std::string path = dir.native("s.txt").string();
         return (mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0 ||
                 (errno == EPERM && symlink("/dev/null", path.c_str()) == 0)) &&
                std::ifstream(path).good();
       }},
  };
  for (const Case& c : cases) {
    TempFolder dir;
    if (!c.make(dir)) {
      ADD_FAILURE() << "cannot make the " << c.what << " source";
      continue;
    }
    dir.write("GBK  s.txt", "older output");
    const std::set<std::string> before = dir.names();
    const 转换结果 r = 转换单个文件(dir.text("s.txt"), "UTF-8", "GBK");
    EXPECT_FALSE(r.已转换) << c.what;
    EXPECT_TRUE(r.输出路径.empty()) << c.what;
    EXPECT_EQ(dir.read("GBK  s.txt"), "older output") << c.what;
    EXPECT_EQ(dir.names(), before) << c.what;
    text::ByteSet bytes;
    EXPECT_FALSE(读取整个文件(dir.text("s.txt"), bytes)) << c.what;
  }
}

// The source is only ever opened for reading: one on a read-only mount (the
// file alone, its folder stays writable) converts, even for root.
TEST(ConvertFailure, ReadOnlySourceConverts) {
  TempFolder dir;
  dir.write("a.txt", kChineseUtf8);
  const std::string source = dir.native("a.txt").string();
  const int code = in_child([&] {
    if (!enter_private_mounts() || mount(source.c_str(), source.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
        mount(nullptr, source.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
      return kCannotMount;
    }
    if (std::ofstream(source, std::ios::app).good()) return 2;  // not read-only after all
    return 转换单个文件(dir.text("a.txt"), "UTF-8", "GBK").已转换 ? 0 : 1;
  });
  if (code == kCannotMount) GTEST_SKIP() << "no private mounts for this user";
  EXPECT_EQ(code, 0);
  EXPECT_EQ(dir.read("GBK  a.txt"), "\xD6\xD0\xCE\xC4");
}

// A write that stops part-way (here: the file size limit, as a full disk
// would) leaves no partial file and keeps the older output, and the program's
// own setup keeps the limit's signal from ending it. The child checks what
// it sees and answers with its exit code.
int write_failing_part_way() {
  TempFolder dir;
  std::string big;
  for (int i = 0; i < 20000; ++i) big += kChineseUtf8;
  dir.write("big.txt", big);
  dir.write("GBK  big.txt", "older output");
  int argc = 0;
  platform::init_application(argc, nullptr);
  const rlimit limit{8192, 8192};
  if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
  const bool converted = 转换单个文件(dir.text("big.txt"), "UTF-8", "GBK").已转换;
  const bool intact = dir.read("GBK  big.txt") == "older output";
  const bool clean = dir.names() == std::set<std::string>{"big.txt", "GBK  big.txt"};
  return !converted && intact && clean ? 0 : 1;
}

TEST(ConvertFailureDeathTest, WriteFailingPartWayKeepsTheOlderOutput) {
  EXPECT_EXIT(std::exit(write_failing_part_way()), testing::ExitedWithCode(0), "");
}
