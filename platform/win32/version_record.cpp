#include "platform/version_record.h"

#include <windows.h>

#include <cstring>

#include "platform/common/service_pack_text.h"
#include "platform/win32/wide_text.h"

namespace platform {

bool get_version_record(OSVERSIONINFOEXA* record) {
  if (record == nullptr) return false;
  const uint32_t size = record->dwOSVersionInfoSize;
  if (size != kShortVersionRecordSize && size != kVersionRecordSize) return false;

  // The wide call, asked for the extended record whatever the caller's size:
  // the short form is its first six fields.
  OSVERSIONINFOEXW system{};
  system.dwOSVersionInfoSize = sizeof system;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&system))) return false;
#pragma GCC diagnostic pop

  OSVERSIONINFOEXA filled{};
  filled.dwOSVersionInfoSize = size;
  filled.dwMajorVersion = system.dwMajorVersion;
  filled.dwMinorVersion = system.dwMinorVersion;
  filled.dwBuildNumber = system.dwBuildNumber;
  filled.dwPlatformId = system.dwPlatformId;
  const std::wstring_view service_pack(system.szCSDVersion,
                                       wcsnlen(system.szCSDVersion, std::size(system.szCSDVersion)));
  // A text the system cannot have meant (an unpaired surrogate) leaves the
  // field empty rather than half of it.
  put_service_pack_text(win32::gb18030_from_wide(service_pack).value_or(""), filled.szCSDVersion);
  filled.wServicePackMajor = system.wServicePackMajor;
  filled.wServicePackMinor = system.wServicePackMinor;
  filled.wSuiteMask = system.wSuiteMask;
  filled.wProductType = system.wProductType;
  // The short form owns only its first six fields; the caller's tail stays.
  std::memcpy(record, &filled, size);
  return true;
}

bool get_product_code(uint32_t major, uint32_t minor, uint16_t service_pack_major,
                      uint16_t service_pack_minor, uint32_t* product_code) {
  if (product_code == nullptr) return false;
  DWORD code = 0;
  if (!GetProductInfo(major, minor, service_pack_major, service_pack_minor, &code)) return false;
  *product_code = code;
  return true;
}

}  // namespace platform
