// A source whose name leads to another file by the time its output is named
// is not converted, nor is one that grew while it was read. (Changes made
// while a conversion reads, the unnamed output, and a folder swapped in a
// child process are in source_change_linux_test.cpp.)
#include <gtest/gtest.h>

#include <fstream>

#include "convert/single_file.h"
#include "temp_folder.h"

// Catches a read that follows a growing file past the size it had when it
// was opened: such a file never ended.
TEST(SourceChange, AFileThatGrowsIsReadNoFurtherThanItsSizeAndFoundChanged) {
  TempFolder dir;
  dir.write("g.txt", "abcdefg");
  platform::SourceFile source;
  ASSERT_EQ(source.open(dir.text("g.txt")), platform::ReadOutcome::read);
  std::ofstream(dir.native("g.txt"), std::ios::binary | std::ios::app) << std::string(1 << 20, 'x');
  char buffer[4096];
  std::size_t total = 0;
  for (std::ptrdiff_t n; (n = source.read(buffer, sizeof buffer)) > 0;) total += static_cast<std::size_t>(n);
  EXPECT_EQ(total, 7u);
  EXPECT_FALSE(source.intact());
  EXPECT_EQ(source.error(), platform::FileError::changed);
}

// Catches naming the output by its path when it is due: the source replaced
// by a rename meanwhile gave an output of the old bytes.
TEST(SourceChange, ASourceReplacedOrRemovedBeforeItsOutputIsNamedIsNotConverted) {
  for (const bool remove : {false, true}) {
    TempFolder dir;
    dir.write("a.txt", "old\n");
    预备转换 prepared = 准备转换(dir.text("a.txt"), "UTF-8", "GBK");
    ASSERT_TRUE(prepared.converted());
    if (remove) {
      std::filesystem::remove(dir.native("a.txt"));
    } else {
      dir.write("b.txt", "new\n");
      std::filesystem::rename(dir.native("b.txt"), dir.native("a.txt"));
    }
    const 转换结果 r = 完成转换(std::move(prepared));
    EXPECT_FALSE(r.已转换);
    EXPECT_EQ(r.file_error, platform::FileError::changed);
    EXPECT_FALSE(dir.exists("GBK  a.txt")) << remove;
  }
}

