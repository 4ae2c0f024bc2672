#pragma once
// A large file converted on several threads at once. The file is cut at line
// ends: a newline byte is never part of a longer character in GBK, GB18030 or
// UTF-8, and none of the three carries state from one character to the next,
// so each part converts to exactly the bytes the whole would give there.
#include <atomic>
#include <cstdint>
#include <string_view>

#include "convert/stream.h"
#include "platform/new_file.h"
#include "platform/source_file.h"

// From this size on a file is worth the threads.
constexpr std::uint64_t kPartsFrom = std::uint64_t{8} << 20;

// Whether a file of `size` bytes between these encodings may be converted in
// parts, and into how many, for `workers` threads (0: one per core).
unsigned parts_for(std::uint64_t size, std::string_view 原编码, std::string_view 现编码, unsigned workers);

struct PartsResult {
  StreamResult stream;   // as if converted in one go: counts, the end, the first failure's offset
  // With `watch_utf8`: every part is valid UTF-8 and some part holds
  // characters of three or four bytes.
  bool also_valid_utf8 = false;
  platform::FileError write_error = platform::FileError::none;  // for write_failed
};

// Converts `source` in `parts` parts (cut at line ends), the first written
// straight into `output`, the others into unnamed files of their own in the
// output's folder (`output_path`), appended in order once all converted.
// The first failure in the file's order stops the parts after it; the parts
// before it run to their end, so that the failure reported is the first.
// Once `stop` is set, every part ends as a failed read.
PartsResult 分段转码(const platform::SourceFile& source, std::string_view output_path,
                     std::string_view 原编码, std::string_view 现编码, platform::NewFile& output,
                     unsigned parts, bool watch_utf8, const std::atomic<bool>* stop = nullptr);
