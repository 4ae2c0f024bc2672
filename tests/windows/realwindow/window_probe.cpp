// Asks a running program's window what the X server cannot tell: run in
// the same Wine prefix beside it by the real-window scripts.
//   window-probe answers CAPTION   exit 0 when the window answers a message
//                                  within 2 s, 1 when it does not
//   window-probe tooltip CAPTION   prints the text of the tooltip showing
//                                  for that window's program; 1 when none shows
//   window-probe focus CAPTION     prints the class and text of the control
//                                  that has the focus in that window's thread
//   window-probe foreground        prints the caption of the window Windows
//                                  holds active in front, whatever the window
//                                  manager shows
//   window-probe answers-during CAPTION START END
//                                  once the file START exists, asks the window
//                                  again and again until the file END exists,
//                                  and prints how many answers came while END
//                                  was still missing; 1 when one did not come
//                                  within 5 s (Windows' own "not responding")
// Exit 2 when no window has the caption.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "tests/windows/utf16.h"

namespace {

bool answers_within(HWND window, UINT milliseconds) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, milliseconds, &result) != 0;
}

bool exists(const wchar_t* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

// A window that stops serving its messages answers the first of these only
// once it serves them again; by then END is there, and the count stays 0.
int answers_during(HWND window, const wchar_t* start, const wchar_t* end) {
  for (int i = 0; i < 6000 && !exists(start); ++i) Sleep(10);
  if (!exists(start)) {
    std::fputs("window-probe: the start file never came\n", stderr);
    return 2;
  }
  long answered = 0;
  while (!exists(end)) {
    if (!answers_within(window, 5000)) {
      std::printf("answers %ld, then none\n", answered);
      return 1;
    }
    if (!exists(end)) ++answered;
  }
  std::printf("answers %ld\n", answered);
  return 0;
}

int focus(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) || info.hwndFocus == nullptr) {
    std::puts("none");
    return 1;
  }
  wchar_t class_name[64] = {};
  GetClassNameW(info.hwndFocus, class_name, 64);
  wchar_t text[256] = {};
  SendMessageTimeoutW(info.hwndFocus, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 2000, nullptr);
  std::printf("%s %s\n", utf8(class_name).c_str(), utf8(text).c_str());
  return 0;
}

struct TooltipSearch {
  DWORD process;
  std::wstring text;
  bool found;
};

BOOL CALLBACK visit(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<TooltipSearch*>(context);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t class_name[64] = {};
  GetClassNameW(window, class_name, 64);
  if (process != search.process || lstrcmpiW(class_name, TOOLTIPS_CLASSW) != 0 || !IsWindowVisible(window)) {
    return TRUE;
  }
  // A tooltip answers WM_GETTEXT with the text it shows; the message is
  // carried between processes, unlike the tooltip's own ones.
  wchar_t text[1024] = {};
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 2000, nullptr);
  search.text = text;
  search.found = true;
  return FALSE;
}

int tooltip(HWND window) {
  TooltipSearch search{0, {}, false};
  GetWindowThreadProcessId(window, &search.process);
  EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return 1;
  const std::string text = utf8(search.text);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
  return 0;
}

int usage() {
  std::fputs("usage: window-probe answers|tooltip|focus|answers-during CAPTION [START END] | foreground\n", stderr);
  return 2;
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr || argc < 2) {
    return usage();
  }
  const std::wstring what = argv[1];
  if (what == L"foreground" && argc == 2) {
    wchar_t caption[256] = {};
    if (HWND front = GetForegroundWindow()) GetWindowTextW(front, caption, 256);
    std::printf("%s\n", utf8(caption).c_str());
    return 0;
  }
  if (argc < 3) {
    return usage();
  }
  HWND window = FindWindowW(nullptr, argv[2]);
  if (window == nullptr) {
    std::fprintf(stderr, "window-probe: no window captioned %s\n", utf8(argv[2]).c_str());
    return 2;
  }
  if (what == L"answers") return answers_within(window, 2000) ? 0 : 1;
  if (what == L"tooltip") return tooltip(window);
  if (what == L"focus") return focus(window);
  if (what == L"answers-during" && argc == 5) return answers_during(window, argv[3], argv[4]);
  return usage();
}
