// Files that cannot be read or written are never counted as converted and
// never leave a partial or damaged output. These hold for root too, so none
// rests on permissions. (Those that need Linux's devices, mounts and limits
// are in failure_linux_test.cpp.)
#include <gtest/gtest.h>

#include "convert/single_file.h"
#include "convert/whole_file.h"
#include "temp_folder.h"

namespace {

const std::string kChineseUtf8 = "\xE4\xB8\xAD\xE6\x96\x87";  // 中文

}  // namespace

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

