#include <gtest/gtest.h>

#include "files/path_split.h"
#include "text/gbk_literal.h"

namespace {

struct SplitCase {
  const char* whole;
  const char* left;
  const char* right;
};

// GBK characters whose trail byte is 0x5C, the value of "\": 誠 = D5 5C, 盶 = B1 5C.
constexpr const char* kTrail5C = "\xD5\x5C\xB1\x5C";

}  // namespace

TEST(PathSplit, SplitsAtTheLastSeparator) {
  const SplitCase cases[] = {
      {"D:\\dir\\a.txt", "D:\\dir\\", "a.txt"},
      {"D:\\a.txt", "D:\\", "a.txt"},
      {"D:\\dir\\", "D:\\dir\\", ""},
      {"scheme://host/dir/page.html", "scheme://host/dir/", "page.html"},
      {"/home/user/books/a.txt", "/home/user/books/", "a.txt"},
      {"/", "/", ""},
      // "/" wins over a later "\".
      {"D:\\x/y\\z.txt", "D:\\x/", "y\\z.txt"},
      {"", "", ""},
      // No separator at all: the whole text is the name.
      {"a.txt", "", "a.txt"},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.whole);
    EXPECT_EQ(取路径名或网址左右(c.whole, 0), c.left);
    EXPECT_EQ(取路径名或网址左右(c.whole, 1), c.right);
  }
}

TEST(PathSplit, NeverSplitsInsideATwoByteCharacter) {
  const std::string folder = std::string("D:\\") + kTrail5C;
  EXPECT_EQ(取路径名或网址左右(folder + "\\a.txt", 0), folder + "\\");
  EXPECT_EQ(取路径名或网址左右(folder + "\\a.txt", 1), "a.txt");
  // The file name itself ends in such a character.
  EXPECT_EQ(取路径名或网址左右(folder + "\\b" + kTrail5C, 1), std::string("b") + kTrail5C);
  // Only trail bytes of value 0x5C: no separator at all.
  EXPECT_EQ(取路径名或网址左右(kTrail5C, 0), "");
  EXPECT_EQ(取路径名或网址左右(kTrail5C, 1), kTrail5C);
  // A "/" path through such a folder.
  const std::string unix_path = std::string("/tmp/") + kTrail5C + "/c.txt";
  EXPECT_EQ(取路径名或网址左右(unix_path, 0), std::string("/tmp/") + kTrail5C + "/");
}

TEST(PathSplit, LeftThenRightGivesBackTheText) {
  const std::string texts[] = {
      "D:\\dir\\a.txt", "D:\\x/y\\z.txt", "scheme://host/", "x", "", "\\\\server\\share\\f",
      std::string("D:\\") + kTrail5C + "\\" + kTrail5C + ".txt", "/a//b", "中文/目录/文件"_gbk,
  };
  for (const std::string& t : texts) {
    SCOPED_TRACE(t);
    const std::string left = 取路径名或网址左右(t, 0);
    EXPECT_EQ(left + 取路径名或网址左右(t, 1), t);
    if (t.find_first_of("/\\") != std::string::npos) {
      ASSERT_FALSE(left.empty());
      EXPECT_TRUE(left.back() == '/' || left.back() == '\\');
    }
  }
}

TEST(PathSplit, AnyOtherSideGivesTheErrorText) {
  // The GBK bytes of the message, written out so that the literal helper is
  // not checked against itself.
  const std::string expected =
      "\r\n\xB4\xED\xCE\xF3\xCC\xE1\xCA\xBE\xA3\xBA"  // 错误提示：
      "\xC4\xA3\xBF\xE9\xD6\xAE\xC8\xA1\xC2\xB7\xBE\xB6\xC3\xFB\xBB\xF2\xCD\xF8\xD6\xB7"
      "\xD7\xF3\xD3\xD2  "                             // 模块之取路径名或网址左右, two blanks
      "\xD7\xF3\xBB\xF2\xD3\xD2\xB2\xCE\xCA\xFD\xC9\xE8\xD6\xC3\xB4\xED\xCE\xF3\xA3\xAC"
      "\xD6\xBB\xC4\xDC\xCE\xAA" "0\xBB\xF2" "1\xA3\xA1\r\n";  // 左或右参数设置错误，只能为0或1！
  EXPECT_EQ(取路径名或网址左右("D:\\dir\\a.txt", 2), expected);
  EXPECT_EQ(取路径名或网址左右("D:\\dir\\a.txt", 255), expected);
  EXPECT_EQ(取路径名或网址左右("", 2), expected);
}
