// Large files on the file system at hand: both directions give the exact
// bytes, and a fault at the very end leaves nothing new. (Full disks, limits,
// crashes and permissions are in file_systems_test.cpp.)
#include <gtest/gtest.h>

#include "convert/single_file.h"
#include "temp_folder.h"

namespace {

// 7 bytes in UTF-8 and 5 in GBK a line: a million lines are 7 MB and 5 MB.
const std::string kLineUtf8 = "\xE4\xB8\xAD\xE6\x96\x87\n";  // 中文
const std::string kLineGbk = "\xD6\xD0\xCE\xC4\n";
constexpr int kLines = 1000000;

std::string lines(const std::string& line, int count = kLines) {
  std::string out;
  out.reserve(line.size() * static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) out += line;
  return out;
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
