// The naming tables, fed with version records as Windows would fill them.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "effects/version_name.h"
#include "effects/version_product_table.h"
#include "effects/version_vista.h"
#include "text/gbk_literal.h"

namespace {

using platform::OSVERSIONINFOEXA;
using text::Text;

constexpr uint8_t kWorkstation = 1;
constexpr uint8_t kDomainController = 2;
constexpr uint8_t kServer = 3;

OSVERSIONINFOEXA record(uint32_t platform_id, uint32_t major, uint32_t minor,
                        uint8_t product_type = kWorkstation, uint16_t suite = 0,
                        const char* service_pack = "") {
  OSVERSIONINFOEXA r{};
  r.dwOSVersionInfoSize = sizeof r;
  r.dwPlatformId = platform_id;
  r.dwMajorVersion = major;
  r.dwMinorVersion = minor;
  r.wProductType = product_type;
  r.wSuiteMask = suite;
  std::strncpy(r.szCSDVersion, service_pack, sizeof r.szCSDVersion - 1);
  return r;
}

OSVERSIONINFOEXA nt(uint32_t major, uint32_t minor, uint8_t product_type = kWorkstation,
                    uint16_t suite = 0) {
  return record(2, major, minor, product_type, suite);
}

const Text kInternal = "（内部版本号，请使用本程序最新版本以获得准确数据）"_gbk;

struct NameCase {
  const char* what;
  OSVERSIONINFOEXA record;
  uint32_t product_code;
  Text name;     // item 1
  Text version;  // item 4
};

void expect_names(const std::vector<NameCase>& cases) {
  for (const NameCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(取系统版本名(c.record, c.product_code, 1), c.name);
    EXPECT_EQ(取系统版本名(c.record, c.product_code, 4), c.version);
  }
}

TEST(VersionName, WindowsSixAndLaterNameTheEditionByProductCode) {
  expect_names({
      {"7 ultimate", nt(6, 1), 0x01, "Microsoft Windows 7"_gbk + " 旗舰版"_gbk,
       "Microsoft Windows NT 6.1"},
      {"2008 R2 enterprise", nt(6, 1, kServer), 0x0A,
       "Microsoft Windows Server 2008 R2"_gbk + " 企业版"_gbk, "Microsoft Windows NT 6.1"},
      {"Vista home premium", nt(6, 0), 0x03, "Microsoft Windows Vista"_gbk + " 家庭高级版"_gbk,
       "Microsoft Windows NT 6.0"},
      {"2008 by a domain controller", nt(6, 0, kDomainController), 0,
       "Microsoft Windows Server 2008", "Microsoft Windows NT 6.0"},
      {"6.2 professional", nt(6, 2), 0x30,
       "Microsoft Windows NT 6."_gbk + "2" + " 专业版"_gbk + kInternal,
       "Microsoft Windows NT 6.2"},
      {"6.3 server, no edition", nt(6, 3, kServer), 0, "Microsoft Windows NT 6.3"_gbk + kInternal,
       "Microsoft Windows NT 6.3"},
      {"7 with a code in no row", nt(6, 1), 0x13, "Microsoft Windows 7", "Microsoft Windows NT 6.1"},
      {"7 with code 0", nt(6, 1), 0, "Microsoft Windows 7", "Microsoft Windows NT 6.1"},
      {"7.0 workstation", nt(7, 0), 0x04, "Microsoft Windows 8"_gbk + " 企业版"_gbk,
       "Microsoft Windows NT 7.0"},
      {"7.0 server", nt(7, 0, kServer), 0x07, "Microsoft Windows Server 2011"_gbk + " 标准版"_gbk,
       "Microsoft Windows NT 7.0"},
      {"7.2", nt(7, 2), 0x2A, "Microsoft Windows NT 7.2"_gbk + " Hyper-V版"_gbk + kInternal,
       "Microsoft Windows NT 7.2"},
      {"8.1", nt(8, 1), 0x47, "Microsoft Windows NT 8.1"_gbk + " 旗舰版"_gbk + kInternal,
       "Microsoft Windows NT 8.1"},
      {"8.0 server", nt(8, 0, kServer), 0, "Microsoft Windows NT 8.0"_gbk + kInternal,
       "Microsoft Windows NT 8.0"},
      {"10.0", nt(10, 0), 0x30, "Microsoft Windows NT 10.0"_gbk + " 专业版"_gbk + kInternal,
       "Microsoft Windows NT 10.0"},
  });
}

TEST(VersionName, WindowsFiveComparesTheSuiteForEquality) {
  expect_names({
      {"XP professional", nt(5, 1, kWorkstation, 0x0100), 0,
       "Microsoft Windows XP"_gbk + " 专业版"_gbk, "Microsoft Windows NT 5.1"},
      {"XP, two suite bits", nt(5, 1, kWorkstation, 0x0300), 0, "Microsoft Windows XP",
       "Microsoft Windows NT 5.1"},
      {"XP home", nt(5, 1, kServer, 0x0200), 0, "Microsoft Windows XP"_gbk + " 家庭版"_gbk,
       "Microsoft Windows NT 5.1"},
      {"XP embedded", nt(5, 1, 0, 0x0040), 0, "Microsoft Windows XP"_gbk + " 嵌入版"_gbk,
       "Microsoft Windows NT 5.1"},
      // The product code means nothing before version 6.
      {"XP ignores the product code", nt(5, 1), 0x01, "Microsoft Windows XP",
       "Microsoft Windows NT 5.1"},
      {"Home Server", nt(5, 2, kServer, 0x8000), 0, "Microsoft Windows Home Server",
       "Microsoft Windows NT 5.2"},
      {"2003, web bit plus another", nt(5, 2, kServer, 0x0402), 0, "Microsoft Windows Server 2003",
       "Microsoft Windows NT 5.2"},
      {"2003 standard", nt(5, 2, kWorkstation, 0), 0,
       "Microsoft Windows Server 2003"_gbk + " 标准版"_gbk, "Microsoft Windows NT 5.2"},
      {"2003 enterprise", nt(5, 2, kServer, 0x0002), 0,
       "Microsoft Windows Server 2003"_gbk + " 企业版"_gbk, "Microsoft Windows NT 5.2"},
      {"2003 datacenter", nt(5, 2, kServer, 0x0080), 0,
       "Microsoft Windows Server 2003"_gbk + " 数据中心版"_gbk, "Microsoft Windows NT 5.2"},
      {"2003 web", nt(5, 2, kServer, 0x0400), 0,
       "Microsoft Windows Server 2003"_gbk + " Web服务器版"_gbk, "Microsoft Windows NT 5.2"},
      {"2000 server enterprise", nt(5, 0, kServer, 0x0002), 0,
       "Microsoft Windows 2000"_gbk + " Server 企业版"_gbk, "Microsoft Windows NT 5.0"},
      {"2000 domain controller", nt(5, 0, kDomainController, 0x0002), 0, "Microsoft Windows 2000",
       "Microsoft Windows NT 5.0"},
      {"2000 professional", nt(5, 0, kWorkstation, 0x0080), 0,
       "Microsoft Windows 2000"_gbk + " 专业版"_gbk, "Microsoft Windows NT 5.0"},
      {"2000 small business 0x01", nt(5, 0, kServer, 0x0001), 0,
       "Microsoft Windows 2000"_gbk + " Server 中小型企业版"_gbk, "Microsoft Windows NT 5.0"},
      {"2000 small business 0x20", nt(5, 0, kServer, 0x0020), 0,
       "Microsoft Windows 2000"_gbk + " Server 中小型企业版"_gbk, "Microsoft Windows NT 5.0"},
      {"2000 datacenter", nt(5, 0, kServer, 0x0080), 0,
       "Microsoft Windows 2000"_gbk + " Server 数据中心版"_gbk, "Microsoft Windows NT 5.0"},
      {"2000 server, other suite", nt(5, 0, kServer, 0x0003), 0,
       "Microsoft Windows 2000 Server", "Microsoft Windows NT 5.0"},
      {"5.3", nt(5, 3, kWorkstation, 0x0100), 0x01, "Microsoft Windows NT 5.3"_gbk + kInternal,
       "Microsoft Windows NT 5.3"},
  });
}

TEST(VersionName, NtBeforeFiveAndTheOldFamilies) {
  expect_names({
      {"NT 4.0 workstation", nt(4, 0), 0, "Microsoft Windows NT"_gbk + " 专业版 "_gbk + "4.0",
       "Microsoft Windows NT 4.0"},
      {"NT 4.0 server", nt(4, 0, kServer), 0, "Microsoft Windows NT Server 4.0",
       "Microsoft Windows NT 4.0"},
      {"NT 3.51 domain controller", nt(3, 51, kDomainController), 0, "Microsoft Windows NT 3.51",
       "Microsoft Windows NT 3.51"},
      {"98 SE, lower-case letter", record(1, 4, 10, 0, 0, " a "), 0, "Microsoft Windows 98 SE",
       "Microsoft Windows 4.10"},
      {"98 SE, letter anywhere", record(1, 4, 10, 0, 0, "xyzA"), 0, "Microsoft Windows 98 SE",
       "Microsoft Windows 4.10"},
      {"98", record(1, 4, 10), 0, "Microsoft Windows 98", "Microsoft Windows 4.10"},
      // 0x81 0x41 is one character whose trail byte has the value of "A".
      {"98, A only as a trail byte", record(1, 4, 10, 0, 0, "\x81\x41"), 0, "Microsoft Windows 98",
       "Microsoft Windows 4.10"},
      {"95 OSR2, lower-case c", record(1, 4, 0, 0, 0, "c"), 0, "Microsoft Windows 95 OSR2",
       "Microsoft Windows 4.0"},
      {"95 OSR2, B", record(1, 4, 0, 0, 0, " B"), 0, "Microsoft Windows 95 OSR2",
       "Microsoft Windows 4.0"},
      {"95", record(1, 4, 0, 0, 0, "A"), 0, "Microsoft Windows 95", "Microsoft Windows 4.0"},
      {"Me", record(1, 4, 90), 0, "Microsoft Windows Millenium Edition", "Microsoft Windows 4.90"},
      // Only the minor version counts in this family.
      {"other minor", record(1, 9, 3), 0, "Microsoft Windows 4.3", "Microsoft Windows 4.3"},
      {"3.1", record(0, 3, 10), 0, "Microsoft Windows 3.1", "Microsoft Windows 3.1"},
      {"an unfilled record", OSVERSIONINFOEXA{}, 0, "Microsoft Windows 3.1",
       "Microsoft Windows 3.1"},
      {"platform 3", record(3, 6, 1), 0x01, "版本未知，请使用本程序最新版本以获得准确数据"_gbk,
       ""},
      {"largest platform id", record(0xFFFFFFFF, 5, 1), 0,
       "版本未知，请使用本程序最新版本以获得准确数据"_gbk, ""},
  });
}

TEST(VersionName, SelectorsPickTheRawFields) {
  OSVERSIONINFOEXA r = record(2, 6, 1, kWorkstation, 0, "Service Pack 1");
  r.dwBuildNumber = 7601;
  r.wServicePackMajor = 3;
  r.wServicePackMinor = 0;
  const Text name = "Microsoft Windows 7"_gbk + " 旗舰版"_gbk;

  EXPECT_EQ(取系统版本名(r, 0x01, 2), "Service Pack 1");
  EXPECT_EQ(取系统版本名(r, 0x01, 3), "7601");
  EXPECT_EQ(取系统版本名(r, 0x01, 5), "3.0");
  for (int32_t other : {0, 6, -1, std::numeric_limits<int32_t>::min(),
                        std::numeric_limits<int32_t>::max()}) {
    SCOPED_TRACE(other);
    EXPECT_EQ(取系统版本名(r, 0x01, other), name);
  }

  // All 32 bits of the build number, read as signed.
  r.dwBuildNumber = 0xFFFFFFFF;
  EXPECT_EQ(取系统版本名(r, 0x01, 3), "-1");
  r.dwBuildNumber = 0x80000000;
  EXPECT_EQ(取系统版本名(r, 0x01, 3), "-2147483648");
  r.dwBuildNumber = 0x7FFFFFFF;
  EXPECT_EQ(取系统版本名(r, 0x01, 3), "2147483647");

  r.wServicePackMajor = 65535;
  r.wServicePackMinor = 12;
  EXPECT_EQ(取系统版本名(r, 0x01, 5), "65535.12");

  // Item 2 stops at the first zero byte, and at the field's end when the
  // field holds none.
  std::memcpy(r.szCSDVersion, "SP2\0tail", 9);
  EXPECT_EQ(取系统版本名(r, 0x01, 2), "SP2");
  std::memset(r.szCSDVersion, 'x', sizeof r.szCSDVersion);
  EXPECT_EQ(取系统版本名(r, 0x01, 2), std::string(128, 'x'));
  std::memset(r.szCSDVersion, 0, sizeof r.szCSDVersion);
  EXPECT_EQ(取系统版本名(r, 0x01, 2), "");
}

TEST(VersionName, NinetyEightSearchesTheWholeUnterminatedField) {
  // A field full to its last byte: the letter in the last byte still counts,
  // and nothing beyond the field is read.
  OSVERSIONINFOEXA r = record(1, 4, 10);
  std::memset(r.szCSDVersion, ' ', sizeof r.szCSDVersion);
  r.szCSDVersion[127] = 'a';
  EXPECT_EQ(取系统版本名(r, 0, 1), "Microsoft Windows 98 SE");
}

// The product-code table as its decimal column reads, checked over every
// code up to well past the last row.
TEST(VersionProductTable, EveryCodeHasItsEditionOrNone) {
  const std::vector<std::pair<std::vector<uint32_t>, Text>> rows = {
      {{1, 28, 71}, " 旗舰版"_gbk},
      {{2, 5, 67}, " 家庭基础版"_gbk},
      {{3, 26, 68}, " 家庭高级版"_gbk},
      {{4, 10, 14, 15, 27, 38, 41, 70}, " 企业版"_gbk},
      {{6, 16}, " 商业版"_gbk},
      {{7, 13, 36, 40}, " 标准版"_gbk},
      {{8, 12, 37, 39}, " 数据中心版"_gbk},
      {{9}, " 中小型企业版"_gbk},
      {{11, 47, 66}, " 简易版"_gbk},
      {{17, 29}, " Web服务器版"_gbk},
      {{18}, " 高性能计算服务器版"_gbk},
      {{20}, " 存储服务器特别版"_gbk},
      {{21}, " 存储服务器标准版"_gbk},
      {{22}, " 存储服务器工作组版"_gbk},
      {{23}, " 存储服务器企业版"_gbk},
      {{24, 30, 31, 32, 35}, " 基础商业服务器版"_gbk},
      {{33}, " 服务器简易版"_gbk},
      {{42}, " Hyper-V版"_gbk},
      {{48, 49, 69}, " 专业版"_gbk},
  };
  int with_edition = 0;
  for (uint32_t code = 0; code <= 0x100; ++code) {
    Text expected;
    for (const auto& [codes, suffix] : rows) {
      for (uint32_t c : codes) {
        if (c == code) expected = suffix;
      }
    }
    if (!expected.empty()) ++with_edition;
    EXPECT_EQ(product_edition_suffix(code), expected) << "code " << code;
  }
  EXPECT_EQ(with_edition, 48);
  EXPECT_EQ(product_edition_suffix(0xFFFFFFFF), "");
}

TEST(VistaOrLater, MajorSixAndAboveOnly) {
  const std::vector<std::pair<uint32_t, bool>> cases = {
      {0, false}, {4, false}, {5, false}, {6, true}, {7, true}, {10, true}, {0xFFFFFFFF, true}};
  for (const auto& [major, expected] : cases) {
    for (uint32_t minor : {0u, 1u, 9u}) {
      platform::OSVERSIONINFOA r{};
      r.dwOSVersionInfoSize = sizeof r;
      r.dwMajorVersion = major;
      r.dwMinorVersion = minor;
      EXPECT_EQ(是否Vista或更高(r), expected) << major << "." << minor;
    }
  }
}

}  // namespace
