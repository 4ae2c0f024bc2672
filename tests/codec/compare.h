#pragma once
// Runs the same input through the system's iconv (the reference) and ours
// and compares everything either one reports: the result, errno on failure,
// how far each moved the input and output pointers and counts, and the
// bytes written. Ours must write nothing past what it reports.
#include <iconv.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "platform/common/iconv/own_iconv.h"

namespace codec_test {

inline constexpr const char* kNames[5] = {"GBK", "GB18030", "UTF-8", "UTF-16LE", "UTF-32LE"};

// What one call did.
struct Call {
  std::size_t result = 0;
  int error = 0;  // errno, when result is (size_t)-1
  std::size_t in_moved = 0, in_left = 0, out_moved = 0, out_left = 0;
  std::string out;
};

class Pair {
 public:
  Pair(const char* from, const char* to);
  ~Pair();
  Pair(const Pair&) = delete;
  Pair& operator=(const Pair&) = delete;

  // One call of each on `input` with `room` bytes of output (at most
  // kMaxRoom); true when they agree. The first few differences are
  // reported as test failures with both calls spelled out.
  static constexpr std::size_t kMaxRoom = 256;
  // Room for whatever a few input bytes become.
  static constexpr std::size_t kAmple = 32;
  bool same(std::string_view input, std::size_t room);

  // Calls of each on `input` until it is all read or a call fails other
  // than with E2BIG, `room` bytes of output each time (at most kMaxRoom),
  // as a caller streaming through a small buffer does; every call compared.
  bool same_in_steps(std::string_view input, std::size_t room);

  std::size_t compared() const { return compared_; }
  std::size_t differences() const { return differences_; }
  std::string name() const { return from_ + " -> " + to_; }

 private:
  Call reference(std::string_view input, std::size_t room);
  Call ours(std::string_view input, std::size_t room);
  bool agree(std::string_view input, std::size_t room, const Call& theirs, const Call& mine);

  std::string from_, to_;
  iconv_t reference_;
  bixiqin_iconv_t ours_;
  std::size_t compared_ = 0, differences_ = 0;
};

// Sums the pairs of one test and reports the totals: a property of the
// test and a line on standard output.
class Tally {
 public:
  explicit Tally(std::string what) : what_(std::move(what)) {}
  void add(const Pair& pair) {
    compared_ += pair.compared();
    differences_ += pair.differences();
  }
  std::size_t differences() const { return differences_; }
  // Prints "<what>: compared N inputs, D differences" and records both.
  void report() const;

 private:
  std::string what_;
  std::size_t compared_ = 0, differences_ = 0;
};

// `value` in UTF-8's bit pattern with `length` bytes (1-6), overlong if
// the value is smaller than the length needs; nothing if it does not fit.
std::string utf8_form(std::uint32_t value, std::size_t length);

// `value` as UTF-8 in its shortest form (up to six bytes).
std::string utf8(std::uint32_t value);

// A 16-bit unit, little-endian.
std::string utf16_unit(std::uint32_t unit);

// `value` as UTF-16LE (a surrogate pair beyond U+FFFF; a surrogate itself
// as the lone unit).
std::string utf16(std::uint32_t value);

// `value` as UTF-32LE, whatever it is.
std::string utf32(std::uint32_t value);

// `value` in the encoding `name` as the system's iconv writes it; empty
// when it has no code for it (or leaves it out).
std::string reference_form(const char* name, std::uint32_t value);

std::string hex(std::string_view bytes);

}  // namespace codec_test
