#pragma once
// A file opened to be converted: only regular files, never waited on, only
// ever read. Small files are read whole into memory; large ones can be
// mapped instead, so that their bytes need no second copy.
#include <cstddef>
#include <string_view>

#include "platform/file_io.h"
#include "text/byte_set.h"

namespace platform {

class SourceFile {
 public:
  SourceFile() = default;
  ~SourceFile() { close(); }
  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;

  // ReadOutcome::read when the regular file at `path` is open for reading;
  // otherwise why not (and nothing is open).
  ReadOutcome open(std::string_view path);
  // Its size when it was opened.
  std::size_t size() const { return size_; }

  // Reads the file from its start to its end (which may have moved since
  // it was opened) into `into`, replacing what it held and reusing its
  // memory. On any outcome but `read`, `into` is left empty.
  ReadOutcome read_all(text::ByteSet& into);

  // Maps the file's size() bytes read-only; false where it cannot be mapped
  // (empty, or a file system without mappings). Reading the mapping raises a
  // bus error if another program cuts the file short meanwhile: read it
  // under call_catching_bus_errors.
  bool map();
  std::string_view mapped() const { return {map_, map_ ? size_ : 0}; }

  void close();

 private:
  int fd_ = -1;
  std::size_t size_ = 0;
  const char* map_ = nullptr;
};

}  // namespace platform
