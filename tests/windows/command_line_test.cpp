// bixiqin-convert.exe as a user runs it: arguments in UTF-16 from the
// system, lines written as UTF-8 to files, exit codes, Chinese names.
#include <gtest/gtest.h>

#include "platform/user_language.h"
#include "windows_support.h"

namespace {

// The reason as the program words it in the user's language (Wine's
// follows the locale it was started in).
std::string reason(const char* chinese, const char* english) {
  return platform::user_reads_chinese() ? chinese : english;
}

// The current folder for a while; the old one again at the end, so that
// the folder can go.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::wstring& path) {
    wchar_t old[32768];
    old_.assign(old, GetCurrentDirectoryW(32768, old));
    ok_ = SetCurrentDirectoryW(path.c_str()) != 0;
  }
  ~CurrentFolder() { SetCurrentDirectoryW(old_.c_str()); }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;
  bool ok() const { return ok_; }

 private:
  std::wstring old_;
  bool ok_ = false;
};

}  // namespace

// Names whose GBK bytes hold "\" (誠 is D5 5C), a four-byte GB18030
// character (😀, a surrogate pair in UTF-16), a relative path and a drive's
// own current folder: each output beside its source, named on standard
// output exactly as given, exit code 0. Catches a path split that is not
// GBK-aware (the output goes up a folder), a lost surrogate pair, and a
// split only at "/" (the output would get the folder's name in front).
TEST(ConvertProgram, ChineseNamesRoundTripAndEveryFileConvertedExitsZero) {
  const WideFolder dir;
  const std::wstring folder = L"\u8AA0\u76F6";  // 誠盶
  ASSERT_TRUE(dir.make_folder(folder));
  const std::wstring chapter = folder + L"\\\u7B2C\u4E00\u7AE0 \U0001F600.txt";  // 第一章 😀.txt
  ASSERT_TRUE(dir.write(chapter, "\xE7\x9B\xB4\n"));  // 直
  const CurrentFolder here(dir.plain());
  ASSERT_TRUE(here.ok());
  const std::wstring drive = dir.plain().substr(0, 2);  // "C:", whose current folder this is now
  ASSERT_TRUE(dir.write(L"b.txt", "b\n"));
  const ConvertRun ran = run_convert({L"--to", L"GBK", dir.plain(chapter), L"b.txt", drive + L"b.txt"});
  EXPECT_EQ(ran.exit_code, 0u) << ran.err;
  const std::wstring output = folder + L"\\GBK  \u7B2C\u4E00\u7AE0 \U0001F600.txt";
  EXPECT_EQ(ran.out, utf8(dir.plain(output)) + "\r\nGBK  b.txt\r\n" + utf8(drive) + "GBK  b.txt\r\n");
  EXPECT_EQ(ran.err, "");
  EXPECT_EQ(dir.read(output), "\xD6\xB1\n");
  EXPECT_EQ(dir.names(folder), (std::set<std::wstring>{L"\u7B2C\u4E00\u7AE0 \U0001F600.txt",
                                                       L"GBK  \u7B2C\u4E00\u7AE0 \U0001F600.txt"}));
  EXPECT_EQ(dir.read(L"GBK  b.txt"), "b\n");
}

// Catches an unpaired surrogate turned into U+FFFD on the way in (the file
// of that other name, made here, would be converted) or dropped from the
// line that names it.
TEST(ConvertProgram, AnArgumentWithAnUnpairedSurrogateIsRefusedAndNamedAsGiven) {
  const WideFolder dir;
  ASSERT_TRUE(dir.write(L"\uFFFD.txt", "x\n"));
  std::wstring lone = dir.plain(L"?.txt");
  lone[lone.size() - 5] = static_cast<wchar_t>(0xD800);
  const ConvertRun ran = run_convert({lone});
  EXPECT_EQ(ran.exit_code, 1u);
  EXPECT_EQ(ran.out, "");
  // U+D800's three bytes, as UTF-8 would have them were it a character.
  EXPECT_EQ(ran.err, "bixiqin-convert: " + utf8(dir.plain()) + "\\\xED\xA0\x80.txt: " +
                         reason("文件名含有系统无法表示的字符", "its name holds characters the system cannot spell") +
                         "\r\n");
  EXPECT_EQ(dir.names(), std::set<std::wstring>{L"\uFFFD.txt"});
}

// A usage error is 2, before any file is touched.
TEST(ConvertProgram, AUsageErrorExitsTwo) {
  const WideFolder dir;
  ASSERT_TRUE(dir.write(L"a.txt", "a\n"));
  const ConvertRun ran = run_convert({L"--from", L"LATIN-9", dir.plain(L"a.txt")});
  EXPECT_EQ(ran.exit_code, 2u);
  EXPECT_EQ(ran.out, "");
  EXPECT_NE(ran.err.find("LATIN-9"), std::string::npos) << ran.err;
  EXPECT_EQ(dir.names(), std::set<std::wstring>{L"a.txt"});
}
