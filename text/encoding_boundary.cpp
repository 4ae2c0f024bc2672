#include "text/encoding_boundary.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace text {
namespace {

// Bytes that are not valid in their encoding travel as U+F780..U+F7FF
// (0xF700 + byte), a private-use block, so that an odd file name can be
// shown and still reach the file system unchanged.
constexpr char32_t kRawBase = 0xF700;

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

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

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
    const auto bad = static_cast<unsigned char>(in[consumed]);
    if (from_utf8) {
      std::string carried;
      append_utf8(carried, kRawBase + bad);
      std::size_t ignored = 0;
      cd.run(carried, out, ignored);
    } else {
      append_utf8(out, 0xFFFD);
    }
    in.remove_prefix(consumed + 1);
  }
  return out;
}

// Turns carried private-use characters back into the raw bytes they stand for.
std::string restore_raw_bytes(std::string utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto b0 = static_cast<unsigned char>(utf8[i]);
    if (b0 == 0xEF && i + 2 < utf8.size()) {
      const auto b1 = static_cast<unsigned char>(utf8[i + 1]);
      const auto b2 = static_cast<unsigned char>(utf8[i + 2]);
      const char32_t c = ((b0 & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
      if ((b1 & 0xC0) == 0x80 && (b2 & 0xC0) == 0x80 && c >= kRawBase + 0x80 &&
          c <= kRawBase + 0xFF) {
        out += static_cast<char>(c - kRawBase);
        i += 2;
        continue;
      }
    }
    out += utf8[i];
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
  return restore_raw_bytes(convert(gbk, OnInvalid::carry, false).value_or(""));
}

std::string from_utf8(std::string_view utf8) {
  return convert(utf8, OnInvalid::carry, true).value_or("");
}

}  // namespace text
