#pragma once
// A file opened to be converted: only regular files, never waited on, only
// ever read, and read front to back in pieces, so that a file of any size
// takes the same small memory. It is opened by its name within a handle on
// its folder, which an output written beside it shares: a folder renamed or
// swapped meanwhile cannot send the output anywhere else.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/file_error.h"
#include "platform/file_io.h"
#include "text/byte_set.h"

namespace platform {

class SourceFile {
 public:
  SourceFile();
  ~SourceFile();
  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;

  // ReadOutcome::read when the regular file at `path` is open for reading;
  // otherwise why not (and nothing is open).
  ReadOutcome open(std::string_view path);
  // Its size and permission bits (rwx for owner, group, others) when opened.
  std::size_t size() const;
  unsigned permissions() const;

  // The next bytes, up to `room` of them, into `into`: how many were read,
  // 0 at the end of the file, -1 on a read error. Never past the size the
  // file had when opened, so that a file that keeps growing still ends.
  std::ptrdiff_t read(char* into, std::size_t room);

  // Up to `room` bytes from `offset` on, whatever read() has reached; safe
  // to call from several threads at once. As read(): a count, 0, or -1.
  std::ptrdiff_t read_at(std::uint64_t offset, char* into, std::size_t room) const;

  // Whether what was read is the whole file as it was when opened: its size
  // and modification time are unchanged and the bytes read were as many as
  // its size. A file cut short, grown or rewritten meanwhile is not.
  bool intact() const;
  // The same, `bytes_read` having been read in all (by read_at).
  bool intact_after(std::uint64_t bytes_read) const;

  // Whether its name, in the folder it was opened in, still leads to the
  // very file that was opened, with the same size, modification time and
  // permissions: a file replaced, removed, rewritten or re-permissioned
  // since is not. Also after close_file().
  bool still_named() const;

  // Reads the file from its start to its end (which may have moved since
  // it was opened) into `into`, replacing what it held and reusing its
  // memory. On any outcome but `read`, `into` is left empty.
  ReadOutcome read_all(text::ByteSet& into);

  // Why the last open or read failed, or why the file is not intact.
  FileError error() const;

  // Closes the file's own handle once it has been read, keeping its folder
  // and what still_named() compares: a file converted ahead then holds one
  // handle less while it waits.
  void close_file();
  void close();

  struct State;

 private:
  friend class NewFile;
  // Each side's own, for read_all (the same on both).
  bool file_open() const;
  void rewind();
  std::unique_ptr<State> state_;
};

// The size of the regular file at `path`; nothing for anything else.
std::optional<std::uint64_t> regular_file_size(std::string_view path);

}  // namespace platform
