#pragma once
// A file opened to be converted: only regular files, never waited on, only
// ever read, and read front to back in pieces, so that a file of any size
// takes the same small memory.
#include <sys/types.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string_view>

#include "platform/file_error.h"
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
  // Its size and permission bits (rwx for owner, group, others) when opened.
  std::size_t size() const { return size_; }
  unsigned permissions() const { return permissions_; }

  // The next bytes, up to `room` of them, into `into`: how many were read,
  // 0 at the end of the file, -1 on a read error.
  std::ptrdiff_t read(char* into, std::size_t room);

  // Up to `room` bytes from `offset` on, whatever read() has reached; safe
  // to call from several threads at once. As read(): a count, 0, or -1.
  std::ptrdiff_t read_at(std::uint64_t offset, char* into, std::size_t room) const;

  // Whether what was read is the whole file as it was when opened: its size
  // and modification time are unchanged and the bytes read were as many as
  // its size. A file cut short, grown or rewritten meanwhile is not.
  bool intact() const { return intact_after(static_cast<std::uint64_t>(position_)); }
  // The same, `bytes_read` having been read in all (by read_at).
  bool intact_after(std::uint64_t bytes_read) const;

  // Reads the file from its start to its end (which may have moved since
  // it was opened) into `into`, replacing what it held and reusing its
  // memory. On any outcome but `read`, `into` is left empty.
  ReadOutcome read_all(text::ByteSet& into);

  // Why the last open or read failed, or why the file is not intact.
  FileError error() const { return error_; }

  void close();

 private:
  int fd_ = -1;
  std::size_t size_ = 0;
  unsigned permissions_ = 0;
  timespec modified_{};
  off_t position_ = 0;
  mutable std::atomic<FileError> error_{FileError::none};
};

// The size of the regular file at `path`; nothing for anything else.
std::optional<std::uint64_t> regular_file_size(std::string_view path);

}  // namespace platform
