#pragma once
// Whole-file reading and writing on the file system. Paths arrive as
// GBK-family text and are handed to the system as UTF-8.
#include <span>
#include <string_view>

#include "text/byte_set.h"

namespace platform {

enum class ReadOutcome {
  read,          // the whole file is in the byte set
  cannot_open,   // missing, no permission, empty path, ...
  not_a_file,    // a folder, FIFO, device or socket: never read (and never waited on)
  read_error,    // the file went bad while being read
  no_memory,     // the file does not fit in memory
};

// Reads the regular file at `path` whole into `into`, replacing what it held
// and reusing its memory. On any outcome but `read`, `into` is left empty.
ReadOutcome read_whole_file(std::string_view path, text::ByteSet& into);

// Writes `pieces` in order to a new file in the folder of `path` and gives it
// that name only once every byte is written and the file closed, replacing
// any file of that name. On failure nothing is left behind and an existing
// file of that name is untouched. Returns whether the file was written.
bool write_whole_file(std::string_view path, std::span<const std::string_view> pieces);

}  // namespace platform
