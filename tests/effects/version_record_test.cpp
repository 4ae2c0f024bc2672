// The version record as the Linux platform fills it: first from given
// kernel releases and os-release texts, then from the machine itself.
#include <gtest/gtest.h>

#include <sys/utsname.h>

#include <QProcess>
#include <QStringList>
#include <cstdio>
#include <cstring>
#include <string>

#include "effects/version_name.h"
#include "effects/version_vista.h"
#include "effects/window_effects.h"
#include "platform/qt/linux_version_record.h"
#include "text/encoding_boundary.h"
#include "text/gbk_literal.h"

namespace {

using platform::OSVERSIONINFOEXA;
using text::Text;

OSVERSIONINFOEXA sized(uint32_t size) {
  OSVERSIONINFOEXA r{};
  r.dwOSVersionInfoSize = size;
  return r;
}

OSVERSIONINFOEXA from(std::string_view release, std::string_view os_release = "") {
  OSVERSIONINFOEXA r = sized(sizeof(OSVERSIONINFOEXA));
  EXPECT_TRUE(platform::version_record_from(release, os_release, &r)) << release;
  return r;
}

std::string service_pack(const OSVERSIONINFOEXA& r) {
  const std::string_view field(r.szCSDVersion, sizeof r.szCSDVersion);
  return std::string(field.substr(0, field.find('\0')));
}

TEST(VersionRecordFrom, KernelReleaseGivesMajorMinorAndBuild) {
  struct Case {
    const char* release;
    uint32_t major, minor, build;
  };
  const Case cases[] = {
      {"6.1.0-28-amd64", 6, 1, 0},   {"6.18.44-fc-v1272", 6, 18, 44},
      {"5.15.0-91-generic", 5, 15, 0}, {"4.19.312", 4, 19, 312},
      {"6.8", 6, 8, 0},               {"6", 6, 0, 0},
      {"6.x.1", 6, 0, 0},             {"3.10.0.957.el7", 3, 10, 0},
      {"4294967295.0.7", 4294967295u, 0, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.release);
    const OSVERSIONINFOEXA r = from(c.release);
    EXPECT_EQ(r.dwOSVersionInfoSize, 156u);
    EXPECT_EQ(r.dwMajorVersion, c.major);
    EXPECT_EQ(r.dwMinorVersion, c.minor);
    EXPECT_EQ(r.dwBuildNumber, c.build);
    EXPECT_EQ(r.dwPlatformId, platform::kPlatformPosix);
    EXPECT_EQ(r.wProductType, 1);
    EXPECT_EQ(r.wSuiteMask, 0);
    EXPECT_EQ(r.wServicePackMajor, 0);
    EXPECT_EQ(r.wServicePackMinor, 0);
  }
  // The id is none of the Windows families.
  EXPECT_GT(platform::kPlatformPosix, 2u);
}

TEST(VersionRecordFrom, RefusesWhatItCannotReadAndLeavesTheRecord) {
  for (const char* release : {"", "abc", "v6.1", "4294967296.1.0", "6.99999999999"}) {
    SCOPED_TRACE(release);
    OSVERSIONINFOEXA r = sized(156);
    r.dwMajorVersion = 77;
    EXPECT_FALSE(platform::version_record_from(release, "NAME=x", &r));
    EXPECT_EQ(r.dwMajorVersion, 77u);
    EXPECT_EQ(r.dwPlatformId, 0u);
    EXPECT_EQ(service_pack(r), "");
  }
  EXPECT_FALSE(platform::version_record_from("6.1.0", "", nullptr));
}

TEST(VersionRecordFrom, SizeFieldDecidesHowMuchIsWritten) {
  // 148: the first six fields only; the caller's tail keeps its bytes.
  OSVERSIONINFOEXA r{};
  std::memset(&r, 0xAB, sizeof r);
  r.dwOSVersionInfoSize = 148;
  ASSERT_TRUE(platform::version_record_from("6.1.7", "NAME=Debian", &r));
  EXPECT_EQ(r.dwOSVersionInfoSize, 148u);
  EXPECT_EQ(r.dwMajorVersion, 6u);
  EXPECT_EQ(r.dwBuildNumber, 7u);
  EXPECT_EQ(service_pack(r), "Debian");
  EXPECT_EQ(r.szCSDVersion[127], 0);
  EXPECT_EQ(r.wServicePackMajor, 0xABAB);
  EXPECT_EQ(r.wSuiteMask, 0xABAB);
  EXPECT_EQ(r.wProductType, 0xAB);
  EXPECT_EQ(r.wReserved, 0xAB);

  for (uint32_t size : {0u, 1u, 147u, 155u, 157u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(size);
    OSVERSIONINFOEXA untouched = sized(size);
    EXPECT_FALSE(platform::version_record_from("6.1.7", "NAME=Debian", &untouched));
    const OSVERSIONINFOEXA expected = sized(size);
    EXPECT_EQ(std::memcmp(&untouched, &expected, sizeof expected), 0);
  }
}

TEST(VersionRecordFrom, DistributionNameIsReadAsTheShellWould) {
  struct Case {
    const char* what;
    const char* os_release;
    const char* name;  // UTF-8
  };
  const Case cases[] = {
      {"double quotes", "NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n",
       "Debian GNU/Linux 12 (bookworm)"},
      {"single quotes keep backslashes", "PRETTY_NAME='Arch \\ Linux'\n", "Arch \\ Linux"},
      {"escapes inside double quotes", "PRETTY_NAME=\"Say \\\"hi\\\" \\\\ \\$5 \\n\"\n",
       "Say \"hi\" \\ $5 \\n"},
      {"bare word with an escaped blank", "PRETTY_NAME=Void\\ Linux\n", "Void Linux"},
      {"bare word ends at a blank", "PRETTY_NAME=Alpine # comment\n", "Alpine"},
      {"NAME when PRETTY_NAME is missing", "ID=x\nNAME=Fedora\n", "Fedora"},
      {"NAME when PRETTY_NAME is empty", "PRETTY_NAME=\nNAME=\"Fedora Linux\"\n", "Fedora Linux"},
      {"the last assignment wins", "PRETTY_NAME=one\nPRETTY_NAME=\"two\"\n", "two"},
      {"comments, blanks and CRLF", "# PRETTY_NAME=no\r\n\r\n  PRETTY_NAME=\"yes\"\r\n", "yes"},
      {"a longer key is another key", "X_PRETTY_NAME=no\nPRETTY_NAME_X=no\nNAME=yes\n", "yes"},
      {"last line without a newline", "PRETTY_NAME=\"深度 Linux\"", "深度 Linux"},
      {"no file", "", ""},
      {"unterminated quote", "PRETTY_NAME=\"open", "open"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(service_pack(from("6.1.0", c.os_release)), text::from_utf8(c.name));
  }
}

TEST(VersionRecordFrom, LongNamesAreCutBetweenCharacters) {
  auto name_of = [](const std::string& utf8_name) {
    const OSVERSIONINFOEXA r = from("6.1.0", "PRETTY_NAME=\"" + utf8_name + "\"\n");
    EXPECT_EQ(r.szCSDVersion[127], 0);
    return service_pack(r);
  };
  EXPECT_EQ(name_of(std::string(200, 'x')), std::string(127, 'x'));
  EXPECT_EQ(name_of(std::string(127, 'x')), std::string(127, 'x'));

  // Two-byte characters: 63 of them fit, the 64th would need bytes 127-128.
  std::string chinese;
  for (int i = 0; i < 70; ++i) chinese += "中";
  const Text cut = name_of(chinese);
  EXPECT_EQ(cut.size(), 126u);
  EXPECT_EQ(cut, text::from_utf8(chinese).substr(0, 126));
  EXPECT_EQ(name_of("x" + chinese).size(), 127u);

  // A four-byte GB18030 character that does not fit whole is left out.
  const std::string smile = "\xF0\x9F\x98\x80";  // U+1F600
  ASSERT_EQ(text::from_utf8(smile).size(), 4u);
  EXPECT_EQ(name_of(std::string(125, 'a') + smile), std::string(125, 'a'));
  EXPECT_EQ(name_of(std::string(123, 'a') + smile),
            std::string(123, 'a') + text::from_utf8(smile));
}

// What the machine itself says, asked independently of the code under test.
struct MachineVersion {
  uint32_t major = 0, minor = 0, build = 0;
  Text distribution;  // GBK bytes
};

MachineVersion machine_version() {
  MachineVersion v;
  utsname u{};
  EXPECT_EQ(uname(&u), 0);
  unsigned major = 0, minor = 0, build = 0;
  std::sscanf(u.release, "%u.%u.%u", &major, &minor, &build);
  v.major = major;
  v.minor = minor;
  v.build = build;

  // os-release is meant to be sourced by a shell; let one read it.
  QProcess sh;
  sh.start(QStringLiteral("/bin/sh"),
           {QStringLiteral("-c"),
            QStringLiteral("for f in /etc/os-release /usr/lib/os-release; do "
                           "if [ -r \"$f\" ]; then . \"$f\"; break; fi; done; "
                           "printf %s \"${PRETTY_NAME:-$NAME}\"")});
  EXPECT_TRUE(sh.waitForFinished(-1));
  const QByteArray out = sh.readAllStandardOutput();
  v.distribution = text::from_utf8(std::string_view(out.constData(), out.size()));
  return v;
}

TEST(VersionRecordOfThisMachine, MatchesUnameAndOsRelease) {
  const MachineVersion machine = machine_version();

  OSVERSIONINFOEXA r = sized(156);
  ASSERT_TRUE(platform::get_version_record(&r));
  EXPECT_EQ(r.dwMajorVersion, machine.major);
  EXPECT_EQ(r.dwMinorVersion, machine.minor);
  EXPECT_EQ(r.dwBuildNumber, machine.build);
  EXPECT_EQ(r.dwPlatformId, platform::kPlatformPosix);
  ASSERT_LE(machine.distribution.size(), 127u) << "name too long for a plain comparison";
  EXPECT_EQ(service_pack(r), machine.distribution);
  EXPECT_EQ(r.wProductType, 1);

  platform::OSVERSIONINFOA s{};
  s.dwOSVersionInfoSize = 148;
  ASSERT_TRUE(platform::get_version_record(&s));
  EXPECT_EQ(s.dwMajorVersion, machine.major);
  EXPECT_EQ(s.dwMinorVersion, machine.minor);
  EXPECT_EQ(std::memcmp(s.szCSDVersion, r.szCSDVersion, sizeof s.szCSDVersion), 0);

  // A short record announced as the long one would be written past its end.
  platform::OSVERSIONINFOA wrong{};
  wrong.dwOSVersionInfoSize = 156;
  EXPECT_FALSE(platform::get_version_record(&wrong));
  EXPECT_EQ(wrong.dwMajorVersion, 0u);
  OSVERSIONINFOEXA unsized{};
  EXPECT_FALSE(platform::get_version_record(&unsized));
  EXPECT_EQ(unsized.dwPlatformId, 0u);
  EXPECT_FALSE(platform::get_version_record(static_cast<OSVERSIONINFOEXA*>(nullptr)));

  uint32_t code = 0xDEAD;
  EXPECT_TRUE(platform::get_product_code(6, 1, 0, 0, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(platform::get_product_code(6, 1, 0, 0, nullptr));
}

TEST(VersionNameOfThisMachine, IsUnknownWithTheDistributionAsServicePack) {
  const MachineVersion machine = machine_version();
  EXPECT_EQ(取系统版本名(1), "版本未知，请使用本程序最新版本以获得准确数据"_gbk);
  EXPECT_EQ(取系统版本名(0), "版本未知，请使用本程序最新版本以获得准确数据"_gbk);
  EXPECT_EQ(取系统版本名(4), "");
  EXPECT_EQ(取系统版本名(2), machine.distribution);
  EXPECT_EQ(取系统版本名(3), text::decimal(static_cast<int32_t>(machine.build)));
  EXPECT_EQ(取系统版本名(5), "0.0");
  EXPECT_EQ(是否Vista或更高(), machine.major >= 6);
  EXPECT_FALSE(窗口特效().是否为Win7或Vista());
}

}  // namespace
