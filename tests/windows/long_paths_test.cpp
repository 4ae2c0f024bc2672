// Paths beyond the old limit of 260 characters, as a user writes them
// (no "\\?\"): converted through the library and the command line alike.
#include <gtest/gtest.h>

#include "convert/single_file.h"
#include "windows_support.h"

// Catches a path handed to the system as it was given: Windows refuses
// one longer than 260 characters (error 3 or 206) unless it starts with
// "\\?\". Wine has no such limit, so there it catches what else holds a
// path to MAX_PATH (a buffer, a check), and "\\?\" paths whose "." and ".."
// and "/" are not resolved first (the system takes them literally there).
TEST(LongPaths, AFileInAFolderPathBeyond260CharactersConverts) {
  const WideFolder dir;
  // 80 Chinese characters are 240 bytes in UTF-8, within Wine's 255.
  const std::wstring first(80, L'\u4E66');  // 书
  const std::wstring second(150, L'b');
  ASSERT_TRUE(dir.make_folder(first));
  ASSERT_TRUE(dir.make_folder(first + L"\\" + second));
  const std::wstring inside = first + L"\\" + second;
  ASSERT_TRUE(dir.write(inside + L"\\a.txt", "\xE4\xB8\xAD\xE6\x96\x87"));
  const std::wstring source = dir.plain(inside + L"\\a.txt");
  ASSERT_GT(source.size(), 260u);

  const 转换结果 r = 转换单个文件(program_text(source), "UTF-8", "GBK");
  ASSERT_TRUE(r.已转换) << static_cast<int>(r.file_error);
  EXPECT_EQ(r.输出路径, program_text(dir.plain(inside + L"\\GBK  a.txt")));
  EXPECT_EQ(dir.read(inside + L"\\GBK  a.txt"), "\xD6\xD0\xCE\xC4");

  // The same file again, by a path with "." and ".." and "/" in it.
  const std::wstring winding = dir.plain(first + L"/./" + second + L"\\..\\" + second + L"/a.txt");
  const ConvertRun ran = run_convert({L"--from", L"UTF-8", L"--to", L"GB18030", winding});
  EXPECT_EQ(ran.exit_code, 0u) << ran.err;
  EXPECT_EQ(ran.out, utf8(dir.plain(first + L"/./" + second + L"\\..\\" + second + L"/GB18030  a.txt")) + "\r\n");
  EXPECT_EQ(dir.read(inside + L"\\GB18030  a.txt"), "\xD6\xD0\xCE\xC4");
  EXPECT_EQ(dir.names(inside), (std::set<std::wstring>{L"a.txt", L"GBK  a.txt", L"GB18030  a.txt"}));
}
