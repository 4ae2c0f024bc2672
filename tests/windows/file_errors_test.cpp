// Why a file could not be read or written, as the system's error codes
// give it on Windows.
#include <gtest/gtest.h>

#include "convert/single_file.h"
#include "windows_support.h"

using platform::FileError;

// Catches a wrong line of the table from GetLastError() (a folder missing
// on the way is ERROR_PATH_NOT_FOUND, not ERROR_FILE_NOT_FOUND), a folder
// taken for an unreadable file (opening one for reading is refused with
// ERROR_ACCESS_DENIED), and an output name too long for a name let through
// to the system.
TEST(FileErrors, WhyASourceCouldNotBeReadOrAnOutputNotWritten) {
  const WideFolder dir;
  ASSERT_TRUE(dir.write(L"a.txt", "text"));
  ASSERT_TRUE(dir.make_folder(L"dir.txt"));
  ASSERT_TRUE(dir.make_folder(L"GBK  a.txt"));
  const std::wstring long_name(251, L'n');  // a name may have 255 characters, not with "GBK  " before it
  ASSERT_TRUE(dir.write(long_name, "text"));
  const auto check = [&](const std::wstring& name, Outcome outcome, FileError error) {
    const 转换结果 r = 转换单个文件(program_text(dir.plain(name)), "UTF-8", "GBK");
    EXPECT_FALSE(r.已转换) << utf8(name);
    EXPECT_EQ(r.outcome, outcome) << utf8(name);
    EXPECT_EQ(r.file_error, error) << utf8(name);
  };
  check(L"gone.txt", Outcome::source_unreadable, FileError::missing);
  check(L"no such folder\\nor this\\a.txt", Outcome::source_unreadable, FileError::missing);
  check(L"dir.txt", Outcome::source_unreadable, FileError::folder);
  check(L"a.txt", Outcome::output_not_written, FileError::folder_in_the_way);
  check(long_name, Outcome::output_not_written, FileError::name_too_long);
  EXPECT_EQ(dir.names(), (std::set<std::wstring>{L"a.txt", L"dir.txt", L"GBK  a.txt", long_name}));
}

// Wine keeps names as UTF-8 on Linux's file system, 255 bytes at most, and
// cuts a longer one short instead of refusing it: 86 Chinese characters
// (258 bytes) would open the file of the first 85, made here. Catches a
// check of the name's length in UTF-16 alone. On Windows that name is
// merely missing.
TEST(FileErrors, ANameWineWouldCutShortIsNotTakenForAnother) {
  const WideFolder dir;
  const std::wstring cut(85, L'\u4E2D');  // 中, three bytes in UTF-8
  ASSERT_TRUE(dir.write(cut, "\xE4\xB8\xAD"));
  const 转换结果 r = 转换单个文件(program_text(dir.plain(cut + L"\u4E2D")), "UTF-8", "GBK");
  EXPECT_FALSE(r.已转换);
  const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  EXPECT_EQ(r.file_error, wine ? FileError::name_too_long : FileError::missing);
  EXPECT_EQ(dir.names(), std::set<std::wstring>{cut});
}
