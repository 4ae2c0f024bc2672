#include "platform/qt/linux_version_record.h"

#include <sys/utsname.h>

#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <string>

#include "platform/common/service_pack_text.h"
#include "text/encoding_boundary.h"

namespace platform {
namespace {

// os-release files are shell assignments; read the value the way sh would
// for the forms they use: '…' literal, "…" with \" \\ \$ \` escapes, bare
// words with backslash escapes. The value ends at an unquoted blank or line end.
std::string shell_value(std::string_view s, std::size_t& i) {
  std::string out;
  while (i < s.size()) {
    const char c = s[i];
    if (c == '\n' || c == '\r' || c == ' ' || c == '\t') break;
    if (c == '\'') {
      for (++i; i < s.size() && s[i] != '\''; ++i) out += s[i];
      ++i;
    } else if (c == '"') {
      for (++i; i < s.size() && s[i] != '"'; ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && std::strchr("$`\"\\\n", s[i + 1]) != nullptr) {
          ++i;
          if (s[i] == '\n') continue;  // a line continuation
        }
        out += s[i];
      }
      ++i;
    } else if (c == '\\' && i + 1 < s.size()) {
      if (s[i + 1] != '\n') out += s[i + 1];
      i += 2;
    } else {
      out += c;
      ++i;
    }
  }
  return out;
}

// The last assignment of `key`, as in the shell.
std::optional<std::string> os_release_value(std::string_view s, std::string_view key) {
  std::optional<std::string> found;
  std::size_t i = 0;
  auto skip_line = [&] {
    while (i < s.size() && s[i] != '\n') ++i;
    ++i;
  };
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    const std::size_t start = i;
    while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_')) ++i;
    if (i == start || i >= s.size() || s[i] != '=') {
      skip_line();
      continue;
    }
    const std::string_view name = s.substr(start, i - start);
    ++i;
    std::string value = shell_value(s, i);
    if (name == key) found = std::move(value);
    skip_line();
  }
  return found;
}

// The distribution's name as service-pack text.
void put_distribution_name(std::string_view os_release, char (&field)[128]) {
  std::string name = os_release_value(os_release, "PRETTY_NAME").value_or("");
  if (name.empty()) name = os_release_value(os_release, "NAME").value_or("");
  put_service_pack_text(text::from_utf8(name), field);
}

// One decimal number at s[i]; nullopt when there are no digits or it does
// not fit 32 bits.
std::optional<uint32_t> number_at(std::string_view s, std::size_t& i) {
  const std::size_t start = i;
  uint64_t value = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    value = value * 10 + static_cast<uint64_t>(s[i] - '0');
    if (value > std::numeric_limits<uint32_t>::max()) return std::nullopt;
  }
  if (i == start) return std::nullopt;
  return static_cast<uint32_t>(value);
}

std::string read_os_release() {
  for (const char* path : {"/etc/os-release", "/usr/lib/os-release"}) {
    std::ifstream in(path, std::ios::binary);
    if (in) return std::string(std::istreambuf_iterator<char>(in), {});
  }
  return {};
}

}  // namespace

bool version_record_from(std::string_view kernel_release, std::string_view os_release,
                         OSVERSIONINFOEXA* record) {
  if (record == nullptr) return false;
  const uint32_t size = record->dwOSVersionInfoSize;
  if (size != kShortVersionRecordSize && size != kVersionRecordSize) return false;

  uint32_t numbers[3] = {0, 0, 0};
  std::size_t i = 0;
  for (int n = 0; n < 3; ++n) {
    if (n > 0) {
      if (i + 1 >= kernel_release.size() || kernel_release[i] != '.' ||
          kernel_release[i + 1] < '0' || kernel_release[i + 1] > '9')
        break;
      ++i;
    }
    const auto number = number_at(kernel_release, i);
    if (!number) return false;
    numbers[n] = *number;
  }

  OSVERSIONINFOEXA filled{};
  filled.dwOSVersionInfoSize = size;
  filled.dwMajorVersion = numbers[0];
  filled.dwMinorVersion = numbers[1];
  filled.dwBuildNumber = numbers[2];
  filled.dwPlatformId = kPlatformPosix;
  put_distribution_name(os_release, filled.szCSDVersion);
  filled.wProductType = 1;
  // The short form owns only its first six fields; the caller's tail stays.
  std::memcpy(record, &filled, size);
  return true;
}

bool get_version_record(OSVERSIONINFOEXA* record) {
  if (record == nullptr) return false;
  utsname system{};
  if (uname(&system) != 0) return false;
  return version_record_from(system.release, read_os_release(), record);
}

bool get_product_code(uint32_t, uint32_t, uint16_t, uint16_t, uint32_t* product_code) {
  if (product_code == nullptr) return false;
  *product_code = 0;
  return true;
}

}  // namespace platform
