#include "platform/browser.h"

#include <windows.h>

#include <optional>
#include <string>

#include "platform/win32/wide_text.h"

namespace platform {
namespace {

// How long the opener may take to become ready for input; the window
// waits meanwhile, so never longer.
constexpr DWORD kWaitForOpenerMs = 1000;

}  // namespace

bool start_browser(std::string_view gbk_address) {
  // Strict: an address the system cannot spell, or one cut short at a zero
  // byte, would open another page than the one asked for.
  const std::optional<std::wstring> address = win32::wide_from_gb18030(gbk_address);
  if (!address || address->find(L'\0') != std::wstring::npos) return false;
  // Two blanks: explorer.exe hands what follows them on as the address.
  std::wstring command = L"explorer.exe  " + *address;

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  // Never waited for to end: explorer.exe's exit code says nothing (it is
  // 1 after a page opened well), and the browser it starts may run on.
  WaitForInputIdle(process.hProcess, kWaitForOpenerMs);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

}  // namespace platform
