#include "tests/codec/compare.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include <gtest/gtest.h>

namespace codec_test {
namespace {

constexpr unsigned char kUntouched = 0xA5;
constexpr std::size_t kSlack = 16;  // bytes past the room that must stay as they were
constexpr std::size_t kReportedDifferences = 5;

std::string describe(const Call& c) {
  char text[160];
  const char* error = c.error == E2BIG ? "E2BIG" : c.error == EILSEQ ? "EILSEQ" : c.error == EINVAL ? "EINVAL" : "?";
  std::snprintf(text, sizeof text, "result %zd%s%s, input moved %zu (left %zu), output moved %zu (left %zu), wrote ",
                static_cast<std::ptrdiff_t>(c.result), c.result == static_cast<std::size_t>(-1) ? " " : "",
                c.result == static_cast<std::size_t>(-1) ? error : "", c.in_moved, c.in_left, c.out_moved,
                c.out_left);
  return text + hex(c.out);
}

}  // namespace

Pair::Pair(const char* from, const char* to)
    : from_(from), to_(to), reference_(iconv_open(to, from)), ours_(bixiqin_iconv_open(to, from)) {
  EXPECT_NE(reference_, reinterpret_cast<iconv_t>(-1)) << name();
  EXPECT_NE(ours_, reinterpret_cast<bixiqin_iconv_t>(-1)) << name();
}

Pair::~Pair() {
  if (reference_ != reinterpret_cast<iconv_t>(-1)) iconv_close(reference_);
  if (ours_ != reinterpret_cast<bixiqin_iconv_t>(-1)) bixiqin_iconv_close(ours_);
}

Call Pair::reference(std::string_view input, std::size_t room) {
  char buffer[kMaxRoom + kSlack];
  char* in = const_cast<char*>(input.data());
  std::size_t in_left = input.size();
  char* out = buffer;
  std::size_t out_left = room;
  Call c;
  errno = 0;
  c.result = iconv(reference_, &in, &in_left, &out, &out_left);
  c.error = c.result == static_cast<std::size_t>(-1) ? errno : 0;
  c.in_moved = static_cast<std::size_t>(in - input.data());
  c.in_left = in_left;
  c.out_moved = static_cast<std::size_t>(out - buffer);
  c.out_left = out_left;
  c.out.assign(buffer, c.out_moved <= room ? c.out_moved : 0);
  return c;
}

Call Pair::ours(std::string_view input, std::size_t room) {
  char buffer[kMaxRoom + kSlack];
  std::memset(buffer, kUntouched, room + kSlack);
  char* in = const_cast<char*>(input.data());
  std::size_t in_left = input.size();
  char* out = buffer;
  std::size_t out_left = room;
  Call c;
  errno = 0;
  c.result = bixiqin_iconv(ours_, &in, &in_left, &out, &out_left);
  c.error = c.result == static_cast<std::size_t>(-1) ? errno : 0;
  c.in_moved = static_cast<std::size_t>(in - input.data());
  c.in_left = in_left;
  c.out_moved = static_cast<std::size_t>(out - buffer);
  c.out_left = out_left;
  c.out.assign(buffer, c.out_moved <= room ? c.out_moved : 0);
  // Bytes past those reported written must be as they were.
  for (std::size_t i = c.out.size(); i < room + kSlack; ++i) {
    if (static_cast<unsigned char>(buffer[i]) != kUntouched) {
      c.out.append("<wrote past its output>");
      break;
    }
  }
  return c;
}

bool Pair::agree(std::string_view input, std::size_t room, const Call& theirs, const Call& mine) {
  ++compared_;
  const bool same = theirs.result == mine.result && theirs.error == mine.error &&
                    theirs.in_moved == mine.in_moved && theirs.in_left == mine.in_left &&
                    theirs.out_moved == mine.out_moved && theirs.out_left == mine.out_left && theirs.out == mine.out;
  if (!same && ++differences_ <= kReportedDifferences) {
    ADD_FAILURE() << name() << ", input " << hex(input) << ", room " << room << "\n  reference: " << describe(theirs)
                  << "\n  ours:      " << describe(mine);
  }
  return same;
}

bool Pair::same(std::string_view input, std::size_t room) {
  if (room > kMaxRoom) room = kMaxRoom;
  const Call theirs = reference(input, room);
  const Call mine = ours(input, room);
  return agree(input, room, theirs, mine);
}

bool Pair::same_in_steps(std::string_view input, std::size_t room) {
  if (room > kMaxRoom) room = kMaxRoom;
  for (;;) {
    const Call theirs = reference(input, room);
    const Call mine = ours(input, room);
    if (!agree(input, room, theirs, mine)) return false;
    const bool more = theirs.result == static_cast<std::size_t>(-1) && theirs.error == E2BIG;
    // Output room that takes nothing at all would repeat forever.
    if (!more || (theirs.in_moved == 0 && theirs.out_moved == 0)) return true;
    input.remove_prefix(theirs.in_moved);
  }
}

void Tally::report() const {
  std::cout << what_ << ": compared " << compared_ << " inputs, " << differences_ << " differences" << std::endl;
  testing::Test::RecordProperty("compared", std::to_string(compared_));
  testing::Test::RecordProperty("differences", std::to_string(differences_));
}

std::string utf8_form(std::uint32_t value, std::size_t length) {
  if (length == 1) return value < 0x80 ? std::string(1, static_cast<char>(value)) : std::string();
  const std::size_t bits = 5 * length + 1;  // 11 for two bytes, ... 31 for six
  if (length > 6 || (bits < 32 && value >> bits != 0)) return {};
  std::string s(length, '\0');
  for (std::size_t i = length - 1; i > 0; --i) {
    s[i] = static_cast<char>(0x80 | (value & 0x3F));
    value >>= 6;
  }
  s[0] = static_cast<char>((0xFF00u >> length & 0xFF) | value);
  return s;
}

std::string utf8(std::uint32_t value) {
  for (std::size_t length = 1; length <= 6; ++length) {
    std::string s = utf8_form(value, length);
    if (!s.empty()) return s;
  }
  return {};
}

std::string utf16_unit(std::uint32_t unit) {
  return {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8 & 0xFF)};
}

std::string utf16(std::uint32_t value) {
  if (value < 0x10000) return utf16_unit(value);
  return utf16_unit(0xD800 + ((value - 0x10000) >> 10)) + utf16_unit(0xDC00 + (value & 0x3FF));
}

std::string utf32(std::uint32_t value) {
  return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8 & 0xFF), static_cast<char>(value >> 16 & 0xFF),
          static_cast<char>(value >> 24)};
}

namespace {

constexpr std::size_t kEncodings = sizeof kNames / sizeof kNames[0];

// One descriptor from UTF-32LE into each of the encodings, kept for the run.
class ReferenceWriters {
 public:
  ReferenceWriters() {
    for (std::size_t i = 0; i < kEncodings; ++i) cds_[i] = iconv_open(kNames[i], "UTF-32LE");
  }
  ~ReferenceWriters() {
    for (iconv_t cd : cds_) {
      if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }
  }
  ReferenceWriters(const ReferenceWriters&) = delete;
  ReferenceWriters& operator=(const ReferenceWriters&) = delete;
  iconv_t get(const char* name) const {
    for (std::size_t i = 0; i < kEncodings; ++i) {
      if (std::strcmp(name, kNames[i]) == 0) return cds_[i];
    }
    return reinterpret_cast<iconv_t>(-1);
  }

 private:
  iconv_t cds_[kEncodings];
};

}  // namespace

std::string reference_form(const char* name, std::uint32_t value) {
  static const ReferenceWriters writers;
  iconv_t cd = writers.get(name);
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << name;
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::string in = utf32(value);
  char out[16];
  char* src = in.data();
  std::size_t left = in.size();
  char* dst = out;
  std::size_t room = sizeof out;
  const bool ok = iconv(cd, &src, &left, &dst, &room) != static_cast<std::size_t>(-1);
  return ok ? std::string(out, static_cast<std::size_t>(dst - out)) : std::string();
}

std::string hex(std::string_view bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string s;
  for (const char b : bytes) {
    s += kDigits[static_cast<unsigned char>(b) >> 4];
    s += kDigits[static_cast<unsigned char>(b) & 0xF];
  }
  return s.empty() ? "(none)" : s;
}

}  // namespace codec_test
