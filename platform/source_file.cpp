#include "platform/source_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "text/encoding_boundary.h"

namespace platform {

ReadOutcome SourceFile::open(std::string_view path) {
  close();
  error_ = FileError::missing;
  if (path.empty()) return ReadOutcome::cannot_open;
  const std::string native = text::to_utf8(path);
  // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below.
  fd_ = ::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd_ < 0) {
    error_ = detail::file_error_of(errno, false);
    return ReadOutcome::cannot_open;
  }
  struct stat info {};
  ReadOutcome outcome = ReadOutcome::read;
  FileError error = FileError::none;
  if (::fstat(fd_, &info) != 0) {
    outcome = ReadOutcome::read_error;
    error = FileError::read_error;
  } else if (!S_ISREG(info.st_mode)) {
    outcome = ReadOutcome::not_a_file;
    error = S_ISDIR(info.st_mode) ? FileError::folder : FileError::not_a_file;
  }
  if (outcome != ReadOutcome::read) {
    close();
    error_ = error;
    return outcome;
  }
  error_ = FileError::none;
  size_ = static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 0);
  permissions_ = info.st_mode & 0777;
  modified_ = info.st_mtim;
  ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
  return outcome;
}

std::optional<std::uint64_t> regular_file_size(std::string_view path) {
  struct stat info {};
  if (path.empty() || ::stat(text::to_utf8(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return std::nullopt;
  }
  return static_cast<std::uint64_t>(info.st_size > 0 ? info.st_size : 0);
}

std::ptrdiff_t SourceFile::read(char* into, std::size_t room) {
  const std::ptrdiff_t n = read_at(static_cast<std::uint64_t>(position_), into, room);
  if (n > 0) position_ += n;
  return n;
}

std::ptrdiff_t SourceFile::read_at(std::uint64_t offset, char* into, std::size_t room) const {
  if (fd_ < 0) return -1;
  for (;;) {
    const ssize_t n = ::pread(fd_, into, room, static_cast<off_t>(offset));
    if (n >= 0) return n;
    if (errno != EINTR) {
      error_ = FileError::read_error;
      return -1;
    }
  }
}

bool SourceFile::intact_after(std::uint64_t bytes_read) const {
  struct stat now {};
  if (fd_ < 0 || ::fstat(fd_, &now) != 0) {
    error_ = FileError::read_error;
    return false;
  }
  const bool same = static_cast<std::size_t>(now.st_size > 0 ? now.st_size : 0) == size_ &&
                    now.st_mtim.tv_sec == modified_.tv_sec &&
                    now.st_mtim.tv_nsec == modified_.tv_nsec;
  // Files of the proc file system say they are empty but are not: for them
  // the bytes read are all there is to compare.
  const bool intact = same && (size_ == 0 || bytes_read == size_);
  if (!intact) error_ = FileError::changed;
  return intact;
}

ReadOutcome SourceFile::read_all(text::ByteSet& into) {
  into.clear();
  if (fd_ < 0) return ReadOutcome::cannot_open;
  // One byte more than the size, so that the end is seen without growing;
  // a file that grows meanwhile is still read to its end.
  if (!into.reserve(size_ + 1)) return ReadOutcome::no_memory;
  position_ = 0;
  std::size_t size = 0;
  for (;;) {
    if (size == into.capacity() && !into.reserve(into.capacity() + into.capacity() / 2 + 4096)) {
      into.clear();
      return ReadOutcome::no_memory;
    }
    const std::ptrdiff_t n = read(into.data() + size, into.capacity() - size);
    if (n < 0) {
      into.clear();
      return ReadOutcome::read_error;
    }
    if (n == 0) break;
    size += static_cast<std::size_t>(n);
  }
  into.set_size(size);
  return ReadOutcome::read;
}

void SourceFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  size_ = 0;
  permissions_ = 0;
  modified_ = {};
  position_ = 0;
}

}  // namespace platform
