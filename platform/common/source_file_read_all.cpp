// Reading a whole source, the same on both sides over their read().
#include <limits>

#include "platform/source_file.h"

namespace platform {

ReadOutcome SourceFile::read_all(text::ByteSet& into) {
  into.clear();
  if (!file_open()) return ReadOutcome::cannot_open;
  // One byte more than the size, so that the end is seen without growing.
  const std::size_t opened_size = size();
  if (opened_size == std::numeric_limits<std::size_t>::max() || !into.reserve(opened_size + 1)) {
    return ReadOutcome::no_memory;
  }
  rewind();
  std::size_t have = 0;
  for (;;) {
    if (have == into.capacity() && !into.reserve(into.capacity() + into.capacity() / 2 + 4096)) {
      into.clear();
      return ReadOutcome::no_memory;
    }
    const std::ptrdiff_t n = read(into.data() + have, into.capacity() - have);
    if (n < 0) {
      into.clear();
      return ReadOutcome::read_error;
    }
    if (n == 0) break;
    have += static_cast<std::size_t>(n);
  }
  into.set_size(have);
  return ReadOutcome::read;
}

}  // namespace platform
