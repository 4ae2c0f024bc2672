#include "text/encoding_boundary.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace text {
namespace {

// A byte of a file name that is not part of valid UTF-8 travels as a
// GB18030 four-byte sequence beyond the last character (U+10FFFF is
// E3 32 9A 35): FE 30, then 0x81 + byte / 10 and 0x30 + byte % 10. No
// character decodes to it, so it never stands for a real name, and its
// second and fourth bytes (0x30..0x39) are never "\" or "/", so the
// GBK-aware walk splits such names at their own separators only.
constexpr unsigned char kCarryLead = 0xFE;
constexpr unsigned char kCarrySecond = 0x30;

void append_carried(std::string& out, unsigned char byte) {
  out += static_cast<char>(kCarryLead);
  out += static_cast<char>(kCarrySecond);
  out += static_cast<char>(0x81 + byte / 10);
  out += static_cast<char>(0x30 + byte % 10);
}

// The byte that a carried sequence at the start of `in` stands for, or -1.
int carried_byte(std::string_view in) {
  if (in.size() < 4) return -1;
  const auto third = static_cast<unsigned char>(in[2]);
  const auto fourth = static_cast<unsigned char>(in[3]);
  if (static_cast<unsigned char>(in[0]) != kCarryLead || static_cast<unsigned char>(in[1]) != kCarrySecond ||
      third < 0x81 || fourth < 0x30 || fourth > 0x39) {
    return -1;
  }
  const int byte = (third - 0x81) * 10 + (fourth - 0x30);
  return byte <= 0xFF ? byte : -1;
}

enum class OnInvalid { fail, carry };

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts `in`; stops at an invalid or cut-off sequence and reports where.
  bool run(std::string_view in, std::string& out, std::size_t& consumed) {
    char* src = const_cast<char*>(in.data());
    std::size_t left = in.size();
    char buffer[4096];
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    while (left > 0) {
      char* dst = buffer;
      std::size_t room = sizeof buffer;
      std::size_t r = iconv(cd_, &src, &left, &dst, &room);
      out.append(buffer, static_cast<std::size_t>(dst - buffer));
      if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
        consumed = in.size() - left;
        return false;
      }
    }
    consumed = in.size();
    return true;
  }

 private:
  iconv_t cd_;
};

// U+FFFD, for GBK bytes that are no character.
constexpr char kReplacementUtf8[] = "\xEF\xBF\xBD";

// The boundary converts on every path and caption: its two converters are
// opened once and kept, so that the conversion module is not loaded and
// unloaded again each time.
Converter& shared_converter(bool from_utf8) {
  static Converter to_utf8("UTF-8", "GB18030");
  static Converter to_gb18030("GB18030", "UTF-8");
  return from_utf8 ? to_gb18030 : to_utf8;
}

std::optional<std::string> convert(std::string_view in, OnInvalid mode, bool from_utf8) {
  static std::mutex guard;
  std::lock_guard lock(guard);
  Converter& cd = shared_converter(from_utf8);
  if (!cd.ok()) return std::nullopt;
  std::string out;
  out.reserve(in.size() + in.size() / 2);
  while (!in.empty()) {
    std::size_t consumed = 0;
    if (cd.run(in, out, consumed)) break;
    if (mode == OnInvalid::fail) return std::nullopt;
    in.remove_prefix(consumed);
    if (from_utf8) {
      append_carried(out, static_cast<unsigned char>(in.front()));
      in.remove_prefix(1);
    } else if (const int byte = carried_byte(in); byte >= 0) {
      out += static_cast<char>(byte);
      in.remove_prefix(4);
    } else {
      out += kReplacementUtf8;
      in.remove_prefix(1);
    }
  }
  return out;
}

}  // namespace

std::optional<std::string> gb18030_to_utf8(std::string_view gbk) {
  return convert(gbk, OnInvalid::fail, false);
}

std::optional<std::string> utf8_to_gb18030(std::string_view utf8) {
  return convert(utf8, OnInvalid::fail, true);
}

std::string to_utf8(std::string_view gbk) {
  return convert(gbk, OnInvalid::carry, false).value_or("");
}

std::string from_utf8(std::string_view utf8) {
  return convert(utf8, OnInvalid::carry, true).value_or("");
}

}  // namespace text
