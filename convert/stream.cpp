#include "convert/stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include "convert/iconv_descriptor.h"

namespace {
// Room for the bytes of a character cut at a piece's end (four at most in
// these encodings), with some to spare.
constexpr std::size_t kSmallestPiece = 16;
}  // namespace

StreamEnd 流式转码(ByteSource& in, std::string_view 原编码, std::string_view 现编码, ByteSink& out,
                   std::size_t piece) {
  IconvDescriptor cd(原编码, 现编码);
  if (!cd.ok()) return StreamEnd::unknown_encoding;
  piece = std::max(piece, kSmallestPiece);
  // Twice the piece holds the converted piece in one go between these
  // encodings; a larger result just takes more rounds.
  const std::size_t room = 2 * piece + 64;
  const auto input = std::make_unique_for_overwrite<char[]>(piece);
  const auto output = std::make_unique_for_overwrite<char[]>(room);

  std::size_t carried = 0;  // bytes of a cut character, at the front of `input`
  for (;;) {
    const std::ptrdiff_t n = in.read(input.get() + carried, piece - carried);
    if (n < 0) return StreamEnd::read_failed;
    if (n == 0) {
      if (!in.intact()) return StreamEnd::changed;
      return carried == 0 ? StreamEnd::converted : StreamEnd::cut_off;
    }
    char* src = input.get();
    std::size_t left = carried + static_cast<std::size_t>(n);
    while (left > 0) {
      char* dst = output.get();
      std::size_t space = room;
      const std::size_t result = iconv(cd.get(), &src, &left, &dst, &space);
      const int error = errno;
      const std::size_t produced = static_cast<std::size_t>(dst - output.get());
      if (produced > 0 && !out.write({output.get(), produced})) return StreamEnd::write_failed;
      if (result != static_cast<std::size_t>(-1) || error == E2BIG) continue;
      // Incomplete at the piece's end: the rest of it comes with the next piece.
      if (error == EINVAL) break;
      return StreamEnd::invalid;
    }
    std::memmove(input.get(), src, left);
    carried = left;
  }
}
