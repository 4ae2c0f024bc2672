#pragma once
// The operating system's version record and product code, laid out as the
// version routines expect them. On Windows they are the system's own, its
// service-pack text as GBK-family bytes. On Linux the record describes the
// running kernel and distribution:
//   dwMajorVersion, dwMinorVersion, dwBuildNumber: the first three numbers of
//     the kernel release ("6.1.0-28-amd64" gives 6, 1, 0; "6.18.44-fc" gives
//     6, 18, 44); a number that is missing counts as 0.
//   dwPlatformId: kPlatformPosix, outside the three Windows families, so the
//     naming tables treat the system as one they do not know.
//   szCSDVersion: PRETTY_NAME of os-release (NAME when it has none) as
//     GBK-family bytes, at most 127 of them, cut between characters.
//   wServicePackMajor/Minor 0, wSuiteMask 0, wProductType 1 (workstation).
//   Product code: 0, no edition.
#include <cstddef>
#include <cstdint>

namespace platform {

// The short form: the first six fields of the extended one.
struct OSVERSIONINFOA {
  uint32_t dwOSVersionInfoSize;
  uint32_t dwMajorVersion;
  uint32_t dwMinorVersion;
  uint32_t dwBuildNumber;
  uint32_t dwPlatformId;
  char szCSDVersion[128];
};

struct OSVERSIONINFOEXA {
  uint32_t dwOSVersionInfoSize;
  uint32_t dwMajorVersion;
  uint32_t dwMinorVersion;
  uint32_t dwBuildNumber;
  uint32_t dwPlatformId;
  char szCSDVersion[128];
  uint16_t wServicePackMajor;
  uint16_t wServicePackMinor;
  uint16_t wSuiteMask;
  uint8_t wProductType;
  uint8_t wReserved;
};

static_assert(sizeof(OSVERSIONINFOA) == 148);
static_assert(sizeof(OSVERSIONINFOEXA) == 156);
static_assert(offsetof(OSVERSIONINFOEXA, wServicePackMajor) == 148);

inline constexpr uint32_t kShortVersionRecordSize = sizeof(OSVERSIONINFOA);
inline constexpr uint32_t kVersionRecordSize = sizeof(OSVERSIONINFOEXA);

// The platform id this system reports: the first one after the Windows
// families 0 (3.1), 1 (95/98/Me) and 2 (NT).
inline constexpr uint32_t kPlatformPosix = 3;

// Fill the record from the running system. The caller sets the size field:
// 148 fills the short form only, 156 the whole record; any other size, a
// null record or a system that cannot be asked leaves the record untouched
// and gives false.
bool get_version_record(OSVERSIONINFOA* record);
bool get_version_record(OSVERSIONINFOEXA* record);

// The product code of the given version and service pack (0, none, on
// Linux).
// False only for a null destination.
bool get_product_code(uint32_t major, uint32_t minor, uint16_t service_pack_major,
                      uint16_t service_pack_minor, uint32_t* product_code);

}  // namespace platform
