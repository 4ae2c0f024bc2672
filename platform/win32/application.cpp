#include "platform/application.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

#include "platform/process_signals.h"
#include "platform/win32/window_messages.h"

namespace platform {
namespace {

// Set by wake_message_loop from any thread; a waiting loop wakes on it.
HANDLE wake_event() {
  static const HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  return event;
}

// Takes one waiting message and delivers it; false when none waits. A quit
// request is put back for the message loop.
bool deliver_one_waiting() {
  MSG message{};
  if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return false;
  if (message.message == WM_QUIT) {
    PostQuitMessage(static_cast<int>(message.wParam));
    return false;
  }
  win32::deliver(message);
  return true;
}

constexpr DWORD kLongestMessagePass = 20;  // milliseconds

}  // namespace

void init_application(int&, char**) {
  guard_outputs_against_signals();
  static const bool done = [] {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    wake_event();
    return true;
  }();
  (void)done;
}

int run_message_loop() {
  MSG message{};
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got < 0) return 1;
    win32::deliver(message);
  }
}

void quit_message_loop(int code) { PostQuitMessage(code); }

void process_waiting_messages() {
  // What keeps coming (a run's own repaints) is served for a moment only.
  const ULONGLONG until = GetTickCount64() + kLongestMessagePass;
  while (GetTickCount64() < until && deliver_one_waiting()) {
  }
}

void serve_messages_until(const std::function<bool()>& done) {
  while (!done()) {
    while (deliver_one_waiting()) {
      if (done()) return;
    }
    if (done()) return;
    // A posted quit request stays in the queue and ends the waiting too.
    MSG quit{};
    if (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) return;
    const HANDLE event = wake_event();
    MsgWaitForMultipleObjectsEx(1, &event, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

void wake_message_loop() { SetEvent(wake_event()); }

void exit_process_now(int code) {
  std::fflush(nullptr);
  std::_Exit(code);
}

ScreenSize primary_screen_size() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

}  // namespace platform
