#include "platform/win32/wide_text.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace platform::win32 {
namespace {

// Our iconv's descriptors hold no state and may be shared by threads: each
// direction is opened once.
iconv_t descriptor(const char* to, const char* from) { return iconv_open(to, from); }

iconv_t from_gb18030() {
  static const iconv_t cd = descriptor("UTF-16LE", "GB18030");
  return cd;
}
iconv_t to_gb18030() {
  static const iconv_t cd = descriptor("GB18030", "UTF-16LE");
  return cd;
}
iconv_t to_utf8() {
  static const iconv_t cd = descriptor("UTF-8", "UTF-16LE");
  return cd;
}
iconv_t from_utf8() {
  static const iconv_t cd = descriptor("UTF-16LE", "UTF-8");
  return cd;
}

// Converts `in` onto `out` while it can: how many bytes of `in` were taken
// (all of them on success), errno telling why it stopped short.
std::size_t run(iconv_t cd, std::string_view in, std::string& out) {
  if (cd == reinterpret_cast<iconv_t>(-1)) return 0;
  char* src = const_cast<char*>(in.data());
  std::size_t left = in.size();
  char buffer[1024];
  while (left > 0) {
    char* dst = buffer;
    std::size_t room = sizeof buffer;
    const std::size_t r = iconv(cd, &src, &left, &dst, &room);
    out.append(buffer, static_cast<std::size_t>(dst - buffer));
    if (r == static_cast<std::size_t>(-1) && errno != E2BIG) break;
  }
  return in.size() - left;
}

std::string_view bytes_of(std::wstring_view wide) {
  return {reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t)};
}

std::wstring wide_of(const std::string& bytes) {
  std::wstring wide(bytes.size() / sizeof(wchar_t), L'\0');
  std::memcpy(wide.data(), bytes.data(), wide.size() * sizeof(wchar_t));
  return wide;
}

}  // namespace

std::optional<std::wstring> wide_from_gb18030(std::string_view gb18030) {
  std::string bytes;
  if (run(from_gb18030(), gb18030, bytes) != gb18030.size()) return std::nullopt;
  return wide_of(bytes);
}

std::optional<std::string> gb18030_from_wide(std::wstring_view wide) {
  const std::string_view in = bytes_of(wide);
  std::string out;
  if (run(to_gb18030(), in, out) != in.size()) return std::nullopt;
  return out;
}

std::string utf8_from_wide(std::wstring_view wide) {
  std::string_view in = bytes_of(wide);
  std::string out;
  for (;;) {
    in.remove_prefix(run(to_utf8(), in, out));
    if (in.size() < sizeof(wchar_t)) break;
    // Only an unpaired surrogate stops UTF-16 here.
    unsigned unit = 0;
    std::memcpy(&unit, in.data(), 2);
    out += static_cast<char>(0xE0 | (unit >> 12));
    out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (unit & 0x3F));
    in.remove_prefix(sizeof(wchar_t));
  }
  return out;
}

std::wstring wide_from_utf8(std::string_view utf8) {
  std::string bytes;
  for (;;) {
    utf8.remove_prefix(run(from_utf8(), utf8, bytes));
    if (utf8.empty()) break;
    const auto at = [&](std::size_t i) { return i < utf8.size() ? static_cast<unsigned char>(utf8[i]) : 0u; };
    unsigned unit = 0xFFFD;
    std::size_t taken = 1;
    if (at(0) == 0xED && at(1) >= 0xA0 && at(1) <= 0xBF && (at(2) & 0xC0) == 0x80) {
      unit = 0xD000 | ((at(1) & 0x3F) << 6) | (at(2) & 0x3F);
      taken = 3;
    }
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
    utf8.remove_prefix(taken);
  }
  return wide_of(bytes);
}

}  // namespace platform::win32
