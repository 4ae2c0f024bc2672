#include "platform/win32/under_wine.h"

#include <windows.h>

namespace platform::win32 {

// Wine's ntdll names its version; Windows' has no such export.
bool under_wine() {
  static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

}  // namespace platform::win32
