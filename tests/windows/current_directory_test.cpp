// The current directory within the program's 260-byte buffer.
#include <gtest/gtest.h>

#include "platform/current_directory.h"
#include "windows_support.h"

namespace {

// Puts the test's own current directory back, also after a failure; made
// after the temporary folder, so that the folder is left before removal.
class Return {
 public:
  Return() { before_.assign(here_, GetCurrentDirectoryW(32768, here_)); }
  ~Return() { SetCurrentDirectoryW(before_.c_str()); }
  Return(const Return&) = delete;
  Return& operator=(const Return&) = delete;

 private:
  wchar_t here_[32768];
  std::wstring before_;
};

}  // namespace

// A folder whose GB18030 name takes exactly 259 bytes is read back; one
// byte more gives the empty text. Its UTF-16 form is far shorter (each
// Chinese character one unit against two bytes). Catches the limit
// applied to the UTF-16 length (the 260-byte folder would be given), a
// ">" for ">=" (the 260-byte one too), a limit of MAX_PATH units on the
// system's call (neither would), and the ANSI call (Chinese as "?").
TEST(CurrentDirectory, FitsIn259BytesOfGb18030OrIsEmpty) {
  const WideFolder dir;
  const Return back;
  const std::size_t base = program_text(dir.plain()).size();
  ASSERT_LT(base + 1 + 2 * 80 + 2, 259u);
  // Two folders of Chinese names (Wine keeps a name within 255 UTF-8
  // bytes, 85 characters), the second filling up to 259 bytes: an odd
  // remainder is made up with one "a".
  const std::wstring first(80, L'\u4E66');  // 书
  const std::size_t left = 259 - (base + 1 + 160 + 1);
  const std::wstring second = std::wstring(left / 2, L'\u6587') + (left % 2 ? L"a" : L"");  // 文
  const std::wstring fits = first + L"\\" + second;
  ASSERT_TRUE(dir.make_folder(first));
  ASSERT_TRUE(dir.make_folder(fits));
  const std::wstring over = fits + L"a";  // one byte more: 260 with no room for the zero
  ASSERT_TRUE(dir.make_folder(over));
  const std::string fits_text = program_text(dir.plain(fits));
  ASSERT_EQ(fits_text.size(), 259u);
  ASSERT_LT(dir.plain(fits).size(), 200u);

  ASSERT_TRUE(platform::set_current_directory(fits_text));
  EXPECT_EQ(platform::current_directory(), fits_text);
  ASSERT_TRUE(platform::set_current_directory(fits_text + "a"));
  EXPECT_EQ(platform::current_directory(), "");
  // Yet the system is there.
  wchar_t here[1024];
  EXPECT_EQ(std::wstring(here, GetCurrentDirectoryW(1024, here)), dir.plain(over));

  EXPECT_FALSE(platform::set_current_directory(program_text(dir.plain(L"none"))));
}
