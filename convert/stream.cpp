#include "convert/stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "convert/iconv_descriptor.h"

namespace {
// Room for the bytes of a character cut at a piece's end (four at most in
// these encodings), with some to spare.
constexpr std::size_t kSmallestPiece = 16;
}  // namespace

StreamBuffers::StreamBuffers(std::size_t piece)
    : piece_(std::max(piece, kSmallestPiece)),
      // Twice the piece holds the converted piece in one go between these
      // encodings; a larger result just takes more rounds.
      room_(2 * piece_ + 64),
      input_(new (std::nothrow) char[piece_]),
      output_(new (std::nothrow) char[room_]) {}

StreamResult 流式转码(ByteSource& in, std::string_view 原编码, std::string_view 现编码,
                      ByteSink& out, std::size_t piece) {
  return 流式转码(in, 原编码, 现编码, out, StreamBuffers(piece));
}

StreamResult 流式转码(ByteSource& in, std::string_view 原编码, std::string_view 现编码,
                      ByteSink& out, const StreamBuffers& buffers) {
  StreamResult r;
  const auto end = [&r](StreamEnd how) {
    r.end = how;
    return r;
  };
  IconvDescriptor cd(原编码, 现编码);
  if (!cd.ok()) return end(StreamEnd::unknown_encoding);
  if (!buffers.ok()) return end(StreamEnd::no_memory);
  char* const input = buffers.input();
  char* const output = buffers.output();
  const std::size_t piece = buffers.piece();
  const std::size_t room = buffers.room();

  std::size_t carried = 0;  // bytes of a cut character, at the front of `input`
  for (;;) {
    const std::ptrdiff_t n = in.read(input + carried, piece - carried);
    if (n < 0) return end(StreamEnd::read_failed);
    if (n == 0) {
      if (!in.intact()) return end(StreamEnd::changed);
      r.failed_at = r.read - carried;
      return end(carried == 0 ? StreamEnd::converted : StreamEnd::cut_off);
    }
    // The offset in the source of the first byte in `input`.
    const std::uint64_t piece_start = r.read - carried;
    r.read += static_cast<std::uint64_t>(n);
    char* src = input;
    std::size_t left = carried + static_cast<std::size_t>(n);
    while (left > 0) {
      char* dst = output;
      std::size_t space = room;
      const std::size_t result = cd.convert(&src, &left, &dst, &space);
      const int error = errno;
      const std::size_t produced = static_cast<std::size_t>(dst - output);
      if (produced > 0 && !out.write({output, produced})) return end(StreamEnd::write_failed);
      r.written += produced;
      if (result != static_cast<std::size_t>(-1) || error == E2BIG) continue;
      // Incomplete at the piece's end: the rest of it comes with the next piece.
      if (error == EINVAL) break;
      r.failed_at = piece_start + static_cast<std::uint64_t>(src - input);
      return end(StreamEnd::invalid);
    }
    std::memmove(input, src, left);
    carried = left;
  }
}
