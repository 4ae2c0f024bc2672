#include "convert/failure_place.h"

#include <algorithm>
#include <cerrno>

#include "convert/iconv_descriptor.h"

namespace {

// Decoded text comes as UTF-32LE: four bytes a character.
constexpr std::string_view kUnicode = "UTF-32LE";

// Gives at most `limit` bytes of another source.
class Prefix final : public ByteSource {
 public:
  Prefix(ByteSource& source, std::uint64_t limit) : source_(source), left_(limit) {}
  std::ptrdiff_t read(char* into, std::size_t room) override {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(room, left_));
    if (n == 0) return 0;
    const std::ptrdiff_t got = source_.read(into, n);
    if (got > 0) left_ -= static_cast<std::uint64_t>(got);
    return got;
  }

 private:
  ByteSource& source_;
  std::uint64_t left_;
};

// Counts lines and columns over decoded characters.
class LineCounter final : public ByteSink {
 public:
  bool write(std::string_view bytes) override {
    for (std::size_t i = 0; i + 3 < bytes.size(); i += 4) {
      const bool newline = bytes[i] == '\n' && bytes[i + 1] == 0 && bytes[i + 2] == 0 && bytes[i + 3] == 0;
      if (newline) {
        ++line;
        column = 1;
      } else {
        ++column;
      }
    }
    return true;
  }
  std::uint64_t line = 1;
  std::uint64_t column = 1;
};

// How many bytes at the front of `rest` make up the sequence a reader
// would call one character, bad or not: a lead byte and what it promises.
std::size_t sequence_length(std::string_view 原编码, std::string_view rest) {
  if (rest.empty()) return 0;
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(rest[i]); };
  const unsigned char lead = at(0);
  std::size_t promised = 1;
  if (原编码 == "UTF-8") {
    promised = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xC2 && lead <= 0xDF ? 2 : 1;
    std::size_t n = 1;
    while (n < promised && n < rest.size() && at(n) >= 0x80 && at(n) <= 0xBF) ++n;
    return n;
  }
  if (lead >= 0x81 && lead <= 0xFE && rest.size() >= 2) {
    promised = 原编码 == "GB18030" && at(1) >= 0x30 && at(1) <= 0x39 ? 4 : 2;
  }
  return std::min(promised, rest.size());
}

}  // namespace

void 查找失败位置(ByteSource& again, std::string_view 原编码, StreamEnd end, std::uint64_t offset,
                  转换结果& result) {
  result.offset = offset;
  // Everything before the place converted, so it decodes.
  Prefix before(again, offset);
  LineCounter counter;
  if (流式转码(before, 原编码, kUnicode, counter).end == StreamEnd::converted) {
    result.line = counter.line;
    result.column = counter.column;
  }
  char buffer[8];
  std::size_t have = 0;
  while (have < sizeof buffer) {
    const std::ptrdiff_t n = again.read(buffer + have, sizeof buffer - have);
    if (n <= 0) break;
    have += static_cast<std::size_t>(n);
  }
  const std::string_view rest(buffer, have);
  if (end == StreamEnd::cut_off) {
    result.outcome = Outcome::cut_off;
    result.bytes = rest;
    return;
  }
  // The first character at the place: if it decodes, the source was fine
  // and the target cannot hold it.
  IconvDescriptor decode(原编码, kUnicode);
  char* src = buffer;
  std::size_t left = have;
  unsigned char out[4] = {};
  char* dst = reinterpret_cast<char*>(out);
  std::size_t room = sizeof out;
  const bool ok = decode.ok();
  const std::size_t r = ok ? iconv(decode.get(), &src, &left, &dst, &room) : static_cast<std::size_t>(-1);
  const int error = errno;
  if (ok && room == 0 && (r != static_cast<std::size_t>(-1) || error == E2BIG)) {
    result.outcome = Outcome::unrepresentable;
    result.code_point = static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24);
    result.bytes = rest.substr(0, have - left);
    return;
  }
  result.outcome = ok && error == EINVAL ? Outcome::cut_off : Outcome::invalid_sequence;
  result.bytes = rest.substr(0, result.outcome == Outcome::cut_off ? have : sequence_length(原编码, rest));
}
