#pragma once
// A large file converted on several threads at once. The file is cut at line
// ends into pieces of a few MiB: a newline byte is never part of a longer
// character in GBK, GB18030 or UTF-8, and none of the three carries state
// from one character to the next, so each piece converts to exactly the
// bytes the whole would give there. The threads take the pieces in order,
// as each is free, so that a thread slowed by others on its core holds up
// no more than its own piece, and write them to the output in order.
#include <atomic>
#include <cstdint>
#include <string_view>

#include "convert/stream.h"
#include "platform/new_file.h"
#include "platform/source_file.h"

// From this size on a file is worth the threads.
constexpr std::uint64_t kPartsFrom = std::uint64_t{8} << 20;

// How many threads a file of `size` bytes between these encodings is
// converted on, for `workers` (0: one per core); 1 for one go.
unsigned threads_for(std::uint64_t size, std::string_view 原编码, std::string_view 现编码, unsigned workers);

struct PartsResult {
  StreamResult stream;   // as if converted in one go: counts, the end, the first failure's offset
  // With `watch_utf8`: every piece is valid UTF-8 and some piece holds
  // characters of three or four bytes.
  bool also_valid_utf8 = false;
  platform::FileError write_error = platform::FileError::none;  // for write_failed
};

// Converts `source` into `output` on `threads` threads (the caller's among
// them). Each thread converts a piece into memory of its own and writes it
// once the pieces before it are written. The first failure in the file's
// order stops the pieces after it; the pieces before it run to their end,
// so that the failure reported is the first. Once `stop` is set, every
// piece ends as a failed read.
PartsResult 分段转码(const platform::SourceFile& source, std::string_view 原编码, std::string_view 现编码,
                     platform::NewFile& output, unsigned threads, bool watch_utf8,
                     const std::atomic<bool>* stop = nullptr);
