// Conversion of real files through the real iconv, where the test needs this
// system: glibc's UTF-32 (with its byte order mark), the modification time in
// nanoseconds, and the proc file system. The rest is in conversion_test.cpp.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "convert/single_file.h"
#include "convert/transcode.h"
#include "convert/whole_file.h"
#include "temp_folder.h"

namespace {

const std::string kChineseUtf8 = "\xE4\xB8\xAD\xE6\x96\x87";  // 中文
const std::string kChineseGbk = "\xD6\xD0\xCE\xC4";

}  // namespace

TEST(ConvertFile, GrowsFarBeyondTheInputWhenTheTargetNeedsIt) {
  // One ASCII byte becomes four, plus a byte-order mark: several enlargements.
  bool ok = false;
  const text::ByteSet out = 转码字节集(std::string(3000, 'a'), "UTF-8", "UTF-32", ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(out.size(), 4u + 3000u * 4u);
}

TEST(ConvertFile, ReplacesAnEarlierOutputAndLeavesTheSourceAlone) {
  TempFolder dir;
  dir.write("a.txt", kChineseUtf8);
  dir.write("GBK  a.txt", "an older, longer output that must go away entirely");
  struct stat before {};
  ASSERT_EQ(stat(dir.native("a.txt").c_str(), &before), 0);
  ASSERT_TRUE(转换单个文件(dir.text("a.txt"), "UTF-8", "GBK").已转换);
  EXPECT_EQ(dir.read("GBK  a.txt"), kChineseGbk);
  struct stat after {};
  ASSERT_EQ(stat(dir.native("a.txt").c_str(), &after), 0);
  EXPECT_EQ(dir.read("a.txt"), kChineseUtf8);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
  EXPECT_EQ(dir.names(), (std::set<std::string>{"a.txt", "GBK  a.txt"}));
}

TEST(WholeFile, ReadsToTheEndWhateverTheSizeSaidAndReusesTheBuffer) {
  // Files of the proc file system say they are empty but are not.
  text::ByteSet bytes;
  ASSERT_TRUE(读取整个文件("/proc/self/status", bytes));
  EXPECT_NE(bytes.view().find("VmSize:"), std::string_view::npos);

  TempFolder dir;
  dir.write("short.txt", "abc");
  ASSERT_TRUE(读取整个文件(dir.text("short.txt"), bytes));
  EXPECT_EQ(bytes.view(), "abc");
  dir.write("empty.txt", "");
  ASSERT_TRUE(读取整个文件(dir.text("empty.txt"), bytes));
  EXPECT_TRUE(bytes.empty());
}
