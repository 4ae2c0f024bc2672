#include "effects/version_name.h"

#include <string_view>

#include "effects/version_product_table.h"
#include "text/gbk_literal.h"

namespace {

using platform::OSVERSIONINFOEXA;
using text::decimal;
using text::join;
using text::Text;

// The service-pack text up to its first zero byte; a field with no zero
// byte ends with the field.
std::string_view service_pack_text(const OSVERSIONINFOEXA& 记录) {
  const std::string_view field(记录.szCSDVersion, sizeof 记录.szCSDVersion);
  return field.substr(0, field.find('\0'));
}

// Whether the ASCII letter occurs in either case, at a character start only,
// so that the trail byte of a two-byte character never counts as a letter.
bool contains_letter(std::string_view t, char upper) {
  const char lower = static_cast<char>(upper - 'A' + 'a');
  for (std::size_t i = 0; i < t.size(); i += text::char_length(t, i)) {
    if (t[i] == upper || t[i] == lower) return true;
  }
  return false;
}

Text internal_build_note() { return "（内部版本号，请使用本程序最新版本以获得准确数据）"_gbk; }

// Windows 95, 98 and Me: the edition letter hides in the service-pack text.
Text name_of_9x(const OSVERSIONINFOEXA& 记录, const Text& 版本号文本) {
  const std::string_view 补丁 = service_pack_text(记录);
  switch (记录.dwMinorVersion) {
    case 0:
      return contains_letter(补丁, 'B') || contains_letter(补丁, 'C')
                 ? Text("Microsoft Windows 95 OSR2")
                 : Text("Microsoft Windows 95");
    case 10:
      return contains_letter(补丁, 'A') ? Text("Microsoft Windows 98 SE")
                                        : Text("Microsoft Windows 98");
    case 90:
      return "Microsoft Windows Millenium Edition";
    default:
      return 版本号文本;
  }
}

// NT 4 and before: the product type is the edition.
Text name_of_nt_before_5(const OSVERSIONINFOEXA& 记录) {
  Text 版本后缀 = " ";
  if (记录.wProductType == 1) {
    版本后缀 = " 专业版 "_gbk;
  } else if (记录.wProductType == 3) {
    版本后缀 = " Server ";
  }
  return join(Text("Microsoft Windows NT"), 版本后缀, decimal(记录.dwMajorVersion), ".",
              decimal(记录.dwMinorVersion));
}

// 2000, XP and Server 2003: the suite mask is compared for equality with
// single values, not tested bit by bit.
Text name_of_nt_5(const OSVERSIONINFOEXA& 记录, const Text& 版本号文本) {
  const uint16_t suite = 记录.wSuiteMask;
  Text 名称;
  Text 版本后缀;
  switch (记录.dwMinorVersion) {
    case 0:
      名称 = "Microsoft Windows 2000";
      if (记录.wProductType == 1) {
        版本后缀 = " 专业版"_gbk;
      } else if (记录.wProductType == 3) {
        if (suite == 0x0001 || suite == 0x0020) {
          版本后缀 = " Server 中小型企业版"_gbk;
        } else if (suite == 0x0002) {
          版本后缀 = " Server 企业版"_gbk;
        } else if (suite == 0x0080) {
          版本后缀 = " Server 数据中心版"_gbk;
        } else {
          版本后缀 = " Server";
        }
      }
      break;
    case 1:
      名称 = "Microsoft Windows XP";
      if (suite == 0x0040) {
        版本后缀 = " 嵌入版"_gbk;
      } else if (suite == 0x0100) {
        版本后缀 = " 专业版"_gbk;
      } else if (suite == 0x0200) {
        版本后缀 = " 家庭版"_gbk;
      }
      break;
    case 2:
      名称 = suite == 0x8000 ? "Microsoft Windows Home Server" : "Microsoft Windows Server 2003";
      if (suite == 0) {
        版本后缀 = " 标准版"_gbk;
      } else if (suite == 0x0002) {
        版本后缀 = " 企业版"_gbk;
      } else if (suite == 0x0080) {
        版本后缀 = " 数据中心版"_gbk;
      } else if (suite == 0x0400) {
        版本后缀 = " Web服务器版"_gbk;
      }
      break;
    default:
      名称 = join(版本号文本, internal_build_note());
      break;
  }
  return join(名称, 版本后缀);
}

// Vista and later: the edition comes from the product code.
Text name_of_nt_6_on(const OSVERSIONINFOEXA& 记录, uint32_t 产品类型码, const Text& 版本号文本) {
  const Text 版本后缀 = product_edition_suffix(产品类型码);
  const bool workstation = 记录.wProductType == 1;
  const uint32_t major = 记录.dwMajorVersion;
  const uint32_t minor = 记录.dwMinorVersion;
  if (major == 6 && minor == 0) {
    return join(Text(workstation ? "Microsoft Windows Vista" : "Microsoft Windows Server 2008"),
                版本后缀);
  }
  if (major == 6 && minor == 1) {
    return join(Text(workstation ? "Microsoft Windows 7" : "Microsoft Windows Server 2008 R2"),
                版本后缀);
  }
  if (major == 6) {
    return join(Text("Microsoft Windows NT 6."), decimal(minor), 版本后缀, internal_build_note());
  }
  if (major == 7 && minor == 0) {
    return join(Text(workstation ? "Microsoft Windows 8" : "Microsoft Windows Server 2011"),
                版本后缀);
  }
  return join(版本号文本, 版本后缀, internal_build_note());
}

}  // namespace

Text 取系统版本名(const OSVERSIONINFOEXA& 记录, uint32_t 产品类型码, int32_t 信息类型) {
  Text 版本名称;
  Text 版本号文本;
  switch (记录.dwPlatformId) {
    case 0:
      版本名称 = "Microsoft Windows 3.1";
      版本号文本 = 版本名称;
      break;
    case 1:
      版本号文本 = join(Text("Microsoft Windows 4."), decimal(记录.dwMinorVersion));
      版本名称 = name_of_9x(记录, 版本号文本);
      break;
    case 2:
      版本号文本 = join(Text("Microsoft Windows NT "), decimal(记录.dwMajorVersion), ".",
                        decimal(记录.dwMinorVersion));
      if (记录.dwMajorVersion < 5) {
        版本名称 = name_of_nt_before_5(记录);
      } else if (记录.dwMajorVersion == 5) {
        版本名称 = name_of_nt_5(记录, 版本号文本);
      } else {
        版本名称 = name_of_nt_6_on(记录, 产品类型码, 版本号文本);
      }
      break;
    default:
      版本名称 = "版本未知，请使用本程序最新版本以获得准确数据"_gbk;
      break;
  }

  switch (信息类型) {
    case 2:
      return Text(service_pack_text(记录));
    case 3:
      return decimal(static_cast<int32_t>(记录.dwBuildNumber));
    case 4:
      return 版本号文本;
    case 5:
      return join(decimal(记录.wServicePackMajor), ".", decimal(记录.wServicePackMinor));
    default:
      return 版本名称;
  }
}

Text 取系统版本名(int32_t 信息类型) {
  platform::OSVERSIONINFOEXA 记录{};
  记录.dwOSVersionInfoSize = platform::kVersionRecordSize;
  platform::get_version_record(&记录);
  uint32_t 产品类型码 = 0;
  if (记录.dwMajorVersion > 5) {
    platform::get_product_code(记录.dwMajorVersion, 记录.dwMinorVersion, 记录.wServicePackMajor,
                               记录.wServicePackMinor, &产品类型码);
  }
  return 取系统版本名(记录, 产品类型码, 信息类型);
}
