// Names Windows forbids, and names it cannot spell, are refused with a
// reason of their own before any file is touched: never taken for another
// file, never written under a name the system would rewrite.
#include <gtest/gtest.h>

#include "convert/single_file.h"
#include "convert/whole_file.h"
#include "text/encoding_boundary.h"
#include "windows_support.h"

using platform::FileError;

namespace {

const std::string kChineseUtf8 = "\xE4\xB8\xAD\xE6\x96\x87";  // 中文

}  // namespace

// Each name is made as a real file first, behind "\\?\", which Wine (like
// NTFS for most of them) takes literally: without the check the file would
// convert and leave an output. Catches a device check that looks at the
// whole name only ("AUX.txt", "CON .txt"), or forgets COM0, the superscript
// digits or CONIN$; a missing trailing dot or blank rule (Windows would
// drop them and use another file); a colon let through (a stream of
// another file on NTFS); and a path's folder names left unchecked.
TEST(ForbiddenNames, AreRefusedWhetherSourceOutputOrFolder) {
  const std::wstring names[] = {L"CON",      L"nul.txt", L"AUX.txt",      L"Com1",      L"lpt9.log",
                                L"COM0",     L"PRN.a.b", L"COM\u00B9.txt", L"CON .txt",  L"CONIN$",
                                L"a.",       L"a ",      L"a.txt.",        L"a:b.txt",   L"a\x01" L"b",
                                L"a|b.txt",  L"a<b",     L"a?b",           L"a*b"};
  for (const std::wstring& name : names) {
    const WideFolder dir;
    dir.write(name, kChineseUtf8);  // refused for some, behind "\\?\" too
    const std::set<std::wstring> before = dir.names();
    const 转换结果 r = 转换单个文件(program_text(dir.plain(name)), "UTF-8", "GBK");
    EXPECT_FALSE(r.已转换) << utf8(name);
    EXPECT_EQ(r.outcome, Outcome::source_unreadable) << utf8(name);
    EXPECT_EQ(r.file_error, FileError::name_not_allowed) << utf8(name);
    EXPECT_EQ(dir.names(), before) << utf8(name);

    // As an output's name, in an empty folder: nothing made.
    const WideFolder empty;
    EXPECT_FALSE(写出文件(program_text(empty.plain(name)), std::string_view("x"))) << utf8(name);
    EXPECT_TRUE(empty.names().empty()) << utf8(name);
  }
  // A folder on the way with such a name.
  const WideFolder dir;
  ASSERT_TRUE(dir.make_folder(L"NUL"));
  ASSERT_TRUE(dir.write(L"NUL\\a.txt", kChineseUtf8));
  const 转换结果 r = 转换单个文件(program_text(dir.plain(L"NUL\\a.txt")), "UTF-8", "GBK");
  EXPECT_EQ(r.file_error, FileError::name_not_allowed);
  EXPECT_EQ(dir.names(L"NUL"), std::set<std::wstring>{L"a.txt"});
}

// The names Windows does take, close to those above, still convert:
// catches a check that refuses too much ("CONSOLE.txt", "a.b", "COM10").
TEST(ForbiddenNames, NamesCloseToThemConvert) {
  for (const std::wstring name : {L"CONSOLE.txt", L"nul_", L"COM10", L"a.b", L".a", L"LPT", L"x.CON"}) {
    const WideFolder dir;
    ASSERT_TRUE(dir.write(name, kChineseUtf8)) << utf8(name);
    EXPECT_TRUE(转换单个文件(program_text(dir.plain(name)), "UTF-8", "GBK").已转换) << utf8(name);
    EXPECT_EQ(dir.read(L"GBK  " + name), "\xD6\xD0\xCE\xC4") << utf8(name);
  }
}

// A Linux name of bytes that are no UTF-8 comes in carrying those bytes
// (text/encoding_boundary.cpp): no UTF-16 spells it. Catches a conversion
// to UTF-16 that puts U+FFFD in their place, which would read and write
// the file of that other name, here made to be found.
TEST(ForbiddenNames, ANameWindowsCannotSpellIsRefusedNotTakenForAnother) {
  const WideFolder dir;
  ASSERT_TRUE(dir.write(L"bad\uFFFD.txt", kChineseUtf8));
  const std::string path = text::from_utf8(utf8(dir.plain(L"bad")) + "\xFF.txt");
  const 转换结果 r = 转换单个文件(path, "UTF-8", "GBK");
  EXPECT_FALSE(r.已转换);
  EXPECT_EQ(r.file_error, FileError::name_not_carried);
  EXPECT_EQ(dir.names(), std::set<std::wstring>{L"bad\uFFFD.txt"});
  EXPECT_FALSE(写出文件(path, std::string_view("x")));
  EXPECT_EQ(dir.names(), std::set<std::wstring>{L"bad\uFFFD.txt"});
}
