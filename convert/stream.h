#pragma once
// A conversion that streams: bytes are read, converted and handed on in
// pieces of bounded size, so that memory does not grow with the input.
// A piece's bytes are converted exactly as the whole would be: a character
// cut at a piece's end is carried over to the next piece.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

class ByteSource {
 public:
  // The next bytes, up to `room` of them, into `into`: how many, 0 at the
  // end, -1 on a read error.
  virtual std::ptrdiff_t read(char* into, std::size_t room) = 0;
  // Asked at the end: whether the bytes read were the whole source, unchanged.
  virtual bool intact() const { return true; }

 protected:
  ~ByteSource() = default;
};

class ByteSink {
 public:
  // False when the bytes cannot all be taken.
  virtual bool write(std::string_view bytes) = 0;

 protected:
  ~ByteSink() = default;
};

enum class StreamEnd {
  converted,         // every byte converted and written
  unknown_encoding,  // iconv knows one of the names not
  invalid,           // a sequence invalid in the source, or not representable in the target
  cut_off,           // the input ends inside a character
  read_failed,
  changed,           // the source changed while it was read
  write_failed,
  no_memory,         // the two buffers could not be had
};

struct StreamResult {
  StreamEnd end = StreamEnd::converted;
  std::uint64_t read = 0;     // bytes taken from the source
  std::uint64_t written = 0;  // bytes handed to the sink
  // For `invalid` and `cut_off`: the offset in the source of the first byte
  // of the sequence that could not be converted.
  std::uint64_t failed_at = 0;
};

// Pieces of 1 MiB: large enough that each call costs little, small enough
// that the buffers stay in the cache and are reused rather than touched afresh.
constexpr std::size_t kStreamPiece = std::size_t{1} << 20;

// The two buffers of a streaming conversion, for `piece` bytes read at a
// time: kept by a caller that converts many sources one after the other, so
// that their pages are touched once rather than for every source.
class StreamBuffers {
 public:
  explicit StreamBuffers(std::size_t piece);
  // False when the memory could not be had.
  bool ok() const { return input_ != nullptr && output_ != nullptr; }
  std::size_t piece() const { return piece_; }
  std::size_t room() const { return room_; }
  char* input() const { return input_.get(); }
  char* output() const { return output_.get(); }

 private:
  std::size_t piece_;
  std::size_t room_;
  std::unique_ptr<char[]> input_;
  std::unique_ptr<char[]> output_;
};

// Converts everything `in` gives from `原编码` to `现编码` and writes it to
// `out`, reading at most `piece` bytes at a time (a small file is best read
// with a piece just above its size). It stops at the first failure; the sink
// may then hold part of the output, which the caller throws away.
StreamResult 流式转码(ByteSource& in, std::string_view 原编码, std::string_view 现编码, ByteSink& out,
                      std::size_t piece = kStreamPiece);
StreamResult 流式转码(ByteSource& in, std::string_view 原编码, std::string_view 现编码, ByteSink& out,
                      const StreamBuffers& buffers);
