// The run-time error report through the system's own message box, in a
// child process (a death test): a thread of this process finds the box the
// child shows, reads it and presses OK; the child must then end at once
// with exit code -1, without the clean-up.
#include <gtest/gtest.h>
#include <windows.h>
// After <windows.h>, whose types it uses.
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/runtime_error.h"
#include "app/start.h"
#include "text/gbk_literal.h"

namespace {

// What the box showed.
struct SeenBox {
  bool found = false;
  std::wstring title;
  std::wstring text;
  bool owned = true;
  bool icon = false;
  std::vector<int> buttons;  // the buttons' control ids
};

std::wstring class_of(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

std::wstring text_of(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The processes this one started.
std::vector<DWORD> children() {
  std::vector<DWORD> found;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return found;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ParentProcessID == GetCurrentProcessId()) found.push_back(entry.th32ProcessID);
  }
  CloseHandle(snapshot);
  return found;
}

// Each window EnumWindows or EnumChildWindows gives, into the vector.
BOOL CALLBACK collect(HWND window, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
  return TRUE;
}

// A dialog-class window shown by a process this one started.
HWND box_of_a_child() {
  const std::vector<DWORD> started = children();
  std::vector<HWND> windows;
  EnumWindows(collect, reinterpret_cast<LPARAM>(&windows));
  for (const HWND window : windows) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (IsWindowVisible(window) && class_of(window) == L"#32770" &&
        std::find(started.begin(), started.end(), process) != started.end()) {
      return window;
    }
  }
  return nullptr;
}

// Waits up to 30 s for a child's box, reads it and presses its OK button.
// Without one the children are ended, so that the death test never waits
// on a box nobody will close.
SeenBox answer_the_childs_box() {
  SeenBox seen;
  HWND box = nullptr;
  for (int i = 0; i < 3000 && box == nullptr; ++i) {
    box = box_of_a_child();
    if (box == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (box == nullptr) {
    for (const DWORD child : children()) {
      if (const HANDLE h = OpenProcess(PROCESS_TERMINATE, FALSE, child)) {
        TerminateProcess(h, 9);
        CloseHandle(h);
      }
    }
    return seen;
  }
  seen.found = true;
  seen.title = text_of(box);
  // The box's text is the static control of id 0xFFFF.
  wchar_t text[512] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 512);
  seen.text = text;
  seen.owned = GetWindow(box, GW_OWNER) != nullptr;
  HWND ok = nullptr;
  std::vector<HWND> controls;
  EnumChildWindows(box, collect, reinterpret_cast<LPARAM>(&controls));
  for (const HWND control : controls) {
    const std::wstring kind = class_of(control);
    if (kind == L"Button") {
      seen.buttons.push_back(GetDlgCtrlID(control));
      if (GetDlgCtrlID(control) == IDOK) ok = control;
    } else if (kind == L"Static" && (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      seen.icon = seen.icon || SendMessageW(control, STM_GETICON, 0, 0) != 0;
    }
  }
  // Pressed as a click would; any other box is closed as Esc would, so
  // that the child goes on either way.
  if (ok != nullptr) {
    PostMessageW(ok, BM_CLICK, 0, 0);
  } else {
    PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
  }
  return seen;
}

// Registered before the clean-up, so it runs after it: it says whether
// either ran.
void say_the_clean_up_ran() { std::fprintf(stderr, "clean-up ran %d time(s)\n", 清理次数()); }

// The report shown in a child, the box answered from here. The child's
// standard error must stay empty: neither the clean-up nor the handler
// after it may run.
SeenBox report_in_a_child(std::optional<int> error_number, const text::Text& message) {
  std::optional<SeenBox> seen;
  // The child runs the test again up to the statement, this thread too;
  // having no child of its own, it finds no box there.
  std::thread watcher([&seen] { seen = answer_the_childs_box(); });
  EXPECT_EXIT(
      {
        std::atexit(say_the_clean_up_ran);
        std::atexit(清理子程序);
        报告运行时错误(error_number, message);
      },
      testing::ExitedWithCode(-1), testing::Eq(std::string()));
  watcher.join();
  return seen.value_or(SeenBox{});
}

void expect_the_error_box(const SeenBox& seen, const std::wstring& text) {
  ASSERT_TRUE(seen.found) << "no box shown within 30 s";
  EXPECT_EQ(seen.title, L"错误");
  EXPECT_EQ(seen.text, text);
  EXPECT_TRUE(seen.icon) << "no icon";
  EXPECT_EQ(seen.buttons, std::vector<int>{IDOK}) << "OK alone";
  EXPECT_FALSE(seen.owned);
}

}  // namespace

TEST(RuntimeErrorReport, ANumberedErrorShowsItsNumberAndMessageAndEndsWithMinusOne) {
  const SeenBox seen = report_in_a_child(53, "测试消息"_gbk);
  expect_the_error_box(seen, L"运行时出错!\r\n\r\n错误代码：53\r\n\r\n错误信息：测试消息\r\n");
}

TEST(RuntimeErrorReport, AnUnnumberedErrorShowsItsMessageAlone) {
  const SeenBox seen = report_in_a_child(std::nullopt, "载入启动窗口失败"_gbk);
  expect_the_error_box(seen, L"运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
}
