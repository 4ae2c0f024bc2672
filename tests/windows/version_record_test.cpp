// The version record as Windows fills it, against the kernel's own answer
// (RtlGetVersion, which no manifest or compatibility setting changes), and
// the names made from it on this Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "effects/version_name.h"
#include "effects/version_vista.h"
#include "platform/version_record.h"
#include "platform/win32/under_wine.h"

namespace {

using RtlGetVersionCall = LONG(WINAPI*)(OSVERSIONINFOEXW*);

OSVERSIONINFOEXW kernels_record() {
  OSVERSIONINFOEXW r{};
  r.dwOSVersionInfoSize = sizeof r;
  auto call = reinterpret_cast<RtlGetVersionCall>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  if (call == nullptr || call(&r) != 0) r.dwOSVersionInfoSize = 0;
  return r;
}

// The kernel's service-pack text when it is ASCII, as every Windows and
// Wine writes it; the test stops otherwise.
std::string ascii(const wchar_t* wide) {
  std::string out;
  for (; *wide != L'\0'; ++wide) {
    if (*wide >= 0x80) return "(not ASCII)";
    out += static_cast<char>(*wide);
  }
  return out;
}

// Catches a field taken from its neighbour, the short form writing past
// its 148 bytes, a size other than the two accepted.
TEST(VersionRecordOfThisWindows, IsTheKernelsInBothFormsAndTheCallersTailStays) {
  const OSVERSIONINFOEXW kernel = kernels_record();
  ASSERT_NE(kernel.dwOSVersionInfoSize, 0u);
  ASSERT_NE(ascii(kernel.szCSDVersion), "(not ASCII)");

  platform::OSVERSIONINFOEXA whole;
  std::memset(&whole, 0xCD, sizeof whole);
  whole.dwOSVersionInfoSize = 156;
  ASSERT_TRUE(platform::get_version_record(&whole));
  EXPECT_EQ(whole.dwOSVersionInfoSize, 156u);
  EXPECT_EQ(whole.dwMajorVersion, kernel.dwMajorVersion);
  EXPECT_EQ(whole.dwMinorVersion, kernel.dwMinorVersion);
  EXPECT_EQ(whole.dwBuildNumber, kernel.dwBuildNumber);
  EXPECT_EQ(whole.dwPlatformId, 2u);
  EXPECT_EQ(std::string(whole.szCSDVersion), ascii(kernel.szCSDVersion));
  EXPECT_EQ(whole.szCSDVersion[127], '\0');
  EXPECT_EQ(whole.wServicePackMajor, kernel.wServicePackMajor);
  EXPECT_EQ(whole.wServicePackMinor, kernel.wServicePackMinor);
  EXPECT_EQ(whole.wSuiteMask, kernel.wSuiteMask);
  EXPECT_EQ(whole.wProductType, kernel.wProductType);

  unsigned char short_form[156];
  std::memset(short_form, 0xCD, sizeof short_form);
  const uint32_t short_size = 148;
  std::memcpy(short_form, &short_size, sizeof short_size);
  ASSERT_TRUE(platform::get_version_record(reinterpret_cast<platform::OSVERSIONINFOA*>(short_form)));
  // The same six fields, less the size that each caller gave.
  EXPECT_EQ(std::memcmp(short_form + 4, reinterpret_cast<const unsigned char*>(&whole) + 4, 144), 0);
  for (int i = 148; i < 156; ++i) EXPECT_EQ(short_form[i], 0xCD) << "byte " << i;

  platform::OSVERSIONINFOEXA wrong{};
  wrong.dwOSVersionInfoSize = 152;
  EXPECT_FALSE(platform::get_version_record(&wrong));
  EXPECT_EQ(wrong.dwMajorVersion, 0u);
}

// A fresh Wine prefix is Windows 7 with its first service pack; the names
// are those of the tables for NT 6.1 and the product code Wine gives.
TEST(VersionNameOfThisWindows, AFreshWinePrefixIsWindows7ServicePack1) {
  if (!platform::win32::under_wine()) GTEST_SKIP() << "what Wine's fresh prefix reports";
  const OSVERSIONINFOEXW kernel = kernels_record();
  if (kernel.dwMajorVersion != 6 || kernel.dwMinorVersion != 1)
    GTEST_SKIP() << "this prefix was set to another version";

  EXPECT_EQ(取系统版本名(4), "Microsoft Windows NT 6.1");
  EXPECT_EQ(取系统版本名(3), "7601");
  EXPECT_EQ(取系统版本名(2), "Service Pack 1");
  EXPECT_EQ(取系统版本名(5), "1.0");
  EXPECT_EQ(取系统版本名(1).rfind("Microsoft Windows 7", 0), 0u) << 取系统版本名(1);
  EXPECT_TRUE(是否Vista或更高());

  uint32_t code = 0xFFFFFFFF;
  ASSERT_TRUE(platform::get_product_code(6, 1, 1, 0, &code));
  EXPECT_NE(code, 0xFFFFFFFFu);
  EXPECT_FALSE(platform::get_product_code(6, 1, 1, 0, nullptr));
}

}  // namespace
