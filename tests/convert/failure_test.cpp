// Files that cannot be read or written are never counted as converted and
// never leave a partial or damaged output. These hold for root too, so none
// rests on permissions.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "convert/single_file.h"
#include "convert/whole_file.h"
#include "platform/application.h"
#include "temp_folder.h"

namespace {

const std::string kChineseUtf8 = "\xE4\xB8\xAD\xE6\x96\x87";  // 中文

// Address space in use now, from /proc/self/status, in bytes.
rlim_t address_space_in_use() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmSize:") {
      rlim_t kib = 0;
      status >> kib;
      return kib * 1024;
    }
  }
  return 0;
}

}  // namespace

TEST(ConvertFailure, MissingSourceIsNotConverted) {
  TempFolder dir;
  dir.write("GBK  gone.txt", "older output");
  const 转换结果 r = 转换单个文件(dir.text("gone.txt"), "UTF-8", "GBK");
  EXPECT_FALSE(r.已转换);
  EXPECT_TRUE(r.输出路径.empty());
  // Not taken for an empty file: the older output stays as it was.
  EXPECT_EQ(dir.read("GBK  gone.txt"), "older output");
  EXPECT_EQ(dir.names(), std::set<std::string>{"GBK  gone.txt"});
  text::ByteSet bytes;
  EXPECT_FALSE(读取整个文件(dir.text("gone.txt"), bytes));
}

TEST(ConvertFailure, FolderAsSourceIsNotConverted) {
  TempFolder dir;
  std::filesystem::create_directory(dir.native("sub.txt"));
  EXPECT_FALSE(转换单个文件(dir.text("sub.txt"), "UTF-8", "GBK").已转换);
  EXPECT_EQ(dir.names(), std::set<std::string>{"sub.txt"});
  EXPECT_TRUE(读取整个文件(dir.text("sub.txt")).empty());
}

TEST(ConvertFailure, FifoAsSourceIsRefusedWithoutWaitingForAWriter) {
  TempFolder dir;
  ASSERT_EQ(mkfifo(dir.native("pipe.txt").c_str(), 0666), 0);
  // Blocking here would hang the test: reading must not wait for a writer.
  EXPECT_FALSE(转换单个文件(dir.text("pipe.txt"), "UTF-8", "GBK").已转换);
  EXPECT_EQ(dir.names(), std::set<std::string>{"pipe.txt"});
}

TEST(ConvertFailure, OutputNameTakenByAFolderIsNotConverted) {
  TempFolder dir;
  dir.write("a.txt", kChineseUtf8);
  std::filesystem::create_directory(dir.native("GBK  a.txt"));
  dir.write("GBK  a.txt/inside", "kept");
  EXPECT_FALSE(转换单个文件(dir.text("a.txt"), "UTF-8", "GBK").已转换);
  EXPECT_TRUE(std::filesystem::is_directory(dir.native("GBK  a.txt")));
  EXPECT_EQ(dir.read("GBK  a.txt/inside"), "kept");
  // No temporary file left beside it.
  EXPECT_EQ(dir.names(), (std::set<std::string>{"a.txt", "GBK  a.txt"}));
}

TEST(ConvertFailure, OutputInAMissingFolderIsNotConverted) {
  TempFolder dir;
  EXPECT_FALSE(写出文件(dir.text("no/such/folder/x.txt"), std::string_view("x")));
  EXPECT_TRUE(dir.names().empty());
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

// A file larger than the memory the process may have is skipped, not a crash.
int reading_more_than_memory() {
  TempFolder dir;
  // Sparse: two gigabytes that take no room on disk.
  dir.write("huge.txt", "x");
  std::filesystem::resize_file(dir.native("huge.txt"), std::uintmax_t{2} << 30);
  const rlim_t room = address_space_in_use() + (rlim_t{256} << 20);
  const rlimit limit{room, room};
  if (setrlimit(RLIMIT_AS, &limit) != 0) return 2;
  const bool converted = 转换单个文件(dir.text("huge.txt"), "UTF-8", "GBK").已转换;
  const bool clean = dir.names() == std::set<std::string>{"huge.txt"};
  return !converted && clean ? 0 : 1;
}

TEST(ConvertFailureDeathTest, FileTooLargeForMemoryIsNotConverted) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs more address space than the limit allows";
#endif
  EXPECT_EXIT(std::exit(reading_more_than_memory()), testing::ExitedWithCode(0), "");
}
