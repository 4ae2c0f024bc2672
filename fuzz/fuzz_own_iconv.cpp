// Our own iconv against the system's on any bytes: the first byte picks the
// pair (any two of GBK, GB18030, UTF-8, UTF-16LE and UTF-32LE: the source is
// the byte modulo 5, the target its fifth modulo 5), the second the output
// room of each call; the rest is converted call after call, as a caller
// with a small output buffer does, skipping a byte after an invalid one.
// Every call must agree in its result, errno, both pointers and counts and
// the bytes written, and ours must write nothing past its room.
#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/common/iconv/own_iconv.h"

namespace {

constexpr int kEncodings = 5;
constexpr const char* kNames[kEncodings] = {"GBK", "GB18030", "UTF-8", "UTF-16LE", "UTF-32LE"};
constexpr unsigned char kUntouched = 0xA5;

struct Descriptors {
  iconv_t theirs[kEncodings][kEncodings];
  bixiqin_iconv_t mine[kEncodings][kEncodings];
  Descriptors() {
    for (int f = 0; f < kEncodings; ++f) {
      for (int t = 0; t < kEncodings; ++t) {
        theirs[f][t] = iconv_open(kNames[t], kNames[f]);
        mine[f][t] = bixiqin_iconv_open(kNames[t], kNames[f]);
        if (theirs[f][t] == reinterpret_cast<iconv_t>(-1) || mine[f][t] == reinterpret_cast<bixiqin_iconv_t>(-1)) {
          std::abort();
        }
      }
    }
  }
};

struct Call {
  std::size_t result;
  int error;
  std::size_t in_left, out_left;
  const char* in;
  const char* out;
};

[[noreturn]] void differ(const char* what, int from, int to, std::size_t offset, std::size_t room) {
  std::fprintf(stderr, "own iconv differs from the system's: %s, %s -> %s, at input offset %zu, room %zu\n", what,
               kNames[from], kNames[to], offset, room);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Descriptors descriptors;
  if (size < 2) return 0;
  const int from = data[0] % kEncodings, to = data[0] / kEncodings % kEncodings;
  // Mostly small rooms, where characters end at the edge; now and then one
  // call with room for everything.
  const std::size_t room = data[1] >= 0xF0 ? 4 * size + 16 : data[1] % 40;
  const char* const input = reinterpret_cast<const char*>(data + 2);
  const std::size_t input_size = size - 2;
  iconv_t theirs = descriptors.theirs[from][to];
  bixiqin_iconv_t mine = descriptors.mine[from][to];
  iconv(theirs, nullptr, nullptr, nullptr, nullptr);
  bixiqin_iconv(mine, nullptr, nullptr, nullptr, nullptr);

  // Exactly the room, and one more byte that must stay as it was.
  std::vector<char> their_out(room + 1), my_out(room + 1);
  std::size_t offset = 0;
  while (offset < input_size) {
    std::memset(my_out.data(), kUntouched, my_out.size());
    Call c[2];
    for (int side = 0; side < 2; ++side) {
      char* in = const_cast<char*>(input + offset);
      std::size_t in_left = input_size - offset;
      char* out = side == 0 ? their_out.data() : my_out.data();
      std::size_t out_left = room;
      errno = 0;
      c[side].result = side == 0 ? iconv(theirs, &in, &in_left, &out, &out_left)
                                 : bixiqin_iconv(mine, &in, &in_left, &out, &out_left);
      c[side].error = c[side].result == static_cast<std::size_t>(-1) ? errno : 0;
      c[side].in = in;
      c[side].in_left = in_left;
      c[side].out = out;
      c[side].out_left = out_left;
    }
    if (c[0].result != c[1].result) differ("result", from, to, offset, room);
    if (c[0].error != c[1].error) differ("errno", from, to, offset, room);
    if (c[0].in != c[1].in || c[0].in_left != c[1].in_left) differ("input pointer", from, to, offset, room);
    const std::size_t written = static_cast<std::size_t>(c[0].out - their_out.data());
    if (static_cast<std::size_t>(c[1].out - my_out.data()) != written || c[0].out_left != c[1].out_left) {
      differ("output pointer", from, to, offset, room);
    }
    if (std::memcmp(their_out.data(), my_out.data(), written) != 0) differ("output bytes", from, to, offset, room);
    for (std::size_t i = written; i < my_out.size(); ++i) {
      if (static_cast<unsigned char>(my_out[i]) != kUntouched) differ("wrote past its output", from, to, offset, room);
    }
    const std::size_t moved = static_cast<std::size_t>(c[0].in - (input + offset));
    offset += moved;
    if (c[0].result != static_cast<std::size_t>(-1) || c[0].error == EINVAL) break;
    if (c[0].error == EILSEQ) {
      ++offset;  // past the byte that stopped it, as a lenient caller would
    } else if (moved == 0 && written == 0) {
      break;  // E2BIG with no room for the next character
    }
  }
  return 0;
}
