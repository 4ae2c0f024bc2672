#pragma once
// A byte set from one named encoding into another, through iconv.
#include <cstddef>
#include <optional>
#include <string_view>

#include "text/byte_set.h"

// What the last conversion did, for callers that want to look inside.
struct TranscodeStats {
  int iconv_calls = 0;  // calls of iconv() on the data (0 for empty data)
};

// Converts `数据` from `原编码` to `现编码`, both names handed to iconv as they
// are. All or nothing: an invalid or cut-off sequence, a character the target
// cannot hold, an unknown name or a lack of memory give the empty byte set
// and 成功 = false. Nothing is skipped, replaced, added or removed (a byte-order
// mark is a character like any other).
text::ByteSet 转码字节集(const text::ByteSet& 数据, std::string_view 原编码,
                         std::string_view 现编码, bool& 成功, TranscodeStats* stats = nullptr);

// The same on any bytes.
text::ByteSet 转码字节集(std::string_view 数据, std::string_view 原编码, std::string_view 现编码,
                         bool& 成功, TranscodeStats* stats = nullptr);

// Where a conversion writes: room that can grow, keeping what it holds.
class TranscodeRoom {
 public:
  virtual char* data() = 0;
  virtual std::size_t capacity() const = 0;
  // At least `capacity` bytes; false when that much cannot be had.
  virtual bool reserve(std::size_t capacity) = 0;

 protected:
  ~TranscodeRoom() = default;
};

// The same conversion into `room`, by the same steps (room for the input's
// size first, then more on demand, a bounded number of iconv() calls): the
// number of bytes written at the front of the room, or nothing on failure.
std::optional<std::size_t> 转码到(std::string_view 数据, std::string_view 原编码,
                                  std::string_view 现编码, TranscodeRoom& room,
                                  TranscodeStats* stats = nullptr);
