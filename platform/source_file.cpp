#include "platform/source_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/large_buffer.h"
#include "text/encoding_boundary.h"

namespace platform {

ReadOutcome SourceFile::open(std::string_view path) {
  close();
  if (path.empty()) return ReadOutcome::cannot_open;
  const std::string native = text::to_utf8(path);
  // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below.
  fd_ = ::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd_ < 0) return ReadOutcome::cannot_open;
  struct stat info {};
  ReadOutcome outcome = ReadOutcome::read;
  if (::fstat(fd_, &info) != 0) {
    outcome = ReadOutcome::read_error;
  } else if (!S_ISREG(info.st_mode)) {
    outcome = ReadOutcome::not_a_file;
  }
  if (outcome != ReadOutcome::read) {
    close();
    return outcome;
  }
  size_ = static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 0);
  return outcome;
}

ReadOutcome SourceFile::read_all(text::ByteSet& into) {
  into.clear();
  if (fd_ < 0) return ReadOutcome::cannot_open;
  // One byte more than the size, so that the end is seen without growing;
  // a file that grows meanwhile is still read to its end.
  if (!into.reserve(size_ + 1)) return ReadOutcome::no_memory;
  advise_large_buffer(into.data(), into.capacity());
  ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
  std::size_t size = 0;
  for (;;) {
    if (size == into.capacity()) {
      if (!into.reserve(into.capacity() + into.capacity() / 2 + 4096)) {
        into.clear();
        return ReadOutcome::no_memory;
      }
      advise_large_buffer(into.data(), into.capacity());
    }
    const ssize_t n = ::pread(fd_, into.data() + size, into.capacity() - size,
                              static_cast<off_t>(size));
    if (n < 0) {
      if (errno == EINTR) continue;
      into.clear();
      return ReadOutcome::read_error;
    }
    if (n == 0) break;
    size += static_cast<std::size_t>(n);
  }
  into.set_size(size);
  return ReadOutcome::read;
}

bool SourceFile::map() {
  if (map_ != nullptr) return true;
  if (fd_ < 0 || size_ == 0) return false;
  void* map = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd_, 0);
  if (map == MAP_FAILED) return false;
  map_ = static_cast<const char*>(map);
  // The pages are already in memory or about to be read in order: mapping
  // them all in one call saves a fault per page.
  ::madvise(map, size_, MADV_POPULATE_READ);
  return true;
}

void SourceFile::close() {
  if (map_ != nullptr) ::munmap(const_cast<char*>(map_), size_);
  if (fd_ >= 0) ::close(fd_);
  map_ = nullptr;
  fd_ = -1;
  size_ = 0;
}

}  // namespace platform
