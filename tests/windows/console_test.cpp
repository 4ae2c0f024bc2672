// Lines written to a console: through the console's wide calls, so that
// Chinese names and characters beyond the BMP show as themselves whatever
// the console's code page.
#include <gtest/gtest.h>

#include <string>

#include "windows_support.h"

namespace {

// A console of this process's own, its screen read back afterwards. Wine
// gives a usable one only where it can show a window.
class OwnConsole {
 public:
  OwnConsole() {
    FreeConsole();
    if (!AllocConsole()) return;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    screen_ = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          &inherit, OPEN_EXISTING, 0, nullptr);
    DWORD mode = 0;
    usable_ = screen_ != INVALID_HANDLE_VALUE && GetConsoleMode(screen_, &mode);
  }
  ~OwnConsole() {
    if (screen_ != INVALID_HANDLE_VALUE) CloseHandle(screen_);
    FreeConsole();
  }
  OwnConsole(const OwnConsole&) = delete;
  OwnConsole& operator=(const OwnConsole&) = delete;

  bool usable() const { return usable_; }
  HANDLE screen() const { return screen_; }

  // Row `row` of the screen, its trailing blanks left out.
  std::wstring row(short row) const {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    GetConsoleScreenBufferInfo(screen_, &info);
    std::wstring cells(static_cast<std::size_t>(info.dwSize.X), L' ');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(screen_, cells.data(), static_cast<DWORD>(cells.size()), COORD{0, row}, &read);
    cells.resize(read);
    cells.erase(cells.find_last_not_of(L' ') + 1);
    return cells;
  }

 private:
  HANDLE screen_ = INVALID_HANDLE_VALUE;
  bool usable_ = false;
};

// Catches the console written with the UTF-8 bytes (as a pipe is): the
// screen would show them in the console's code page, not 碧溪 and 😀.
TEST(ConsoleOutput, ChineseNamesAndAPairOfSurrogatesShowAsThemselves) {
  const OwnConsole console;
  if (!console.usable()) {
    wchar_t display[8];
    if (GetEnvironmentVariableW(L"DISPLAY", display, 8) == 0) GTEST_SKIP() << "Wine gives a console only with a display";
    FAIL() << "no console although there is a display";
  }
  const WideFolder dir;
  const std::wstring name = L"\u78A7\u6EAA \U0001F600.txt";  // 碧溪 😀.txt
  ASSERT_TRUE(dir.write(name, "x\n"));
  const HANDLE nothing = CreateFileW(L"NUL", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  SetHandleInformation(nothing, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  const DWORD exit_code = start_convert({L"--to", L"GBK", name, L"missing.txt"}, nothing, console.screen(),
                                        console.screen(), dir.plain(), true);
  CloseHandle(nothing);
  EXPECT_EQ(exit_code, 1u);
  EXPECT_EQ(console.row(0), L"GBK  " + name);
  // The reason line goes to the console too, in the same wide calls.
  EXPECT_EQ(console.row(1).rfind(L"bixiqin-convert: missing.txt: ", 0), 0u) << utf8(console.row(1));
  EXPECT_EQ(dir.read(L"GBK  " + name), "x\n");
}

}  // namespace
