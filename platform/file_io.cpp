#include "platform/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "platform/large_buffer.h"
#include "platform/temporary_file.h"
#include "text/encoding_boundary.h"

namespace platform {
namespace {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // Closes now, so that a failing close can be seen.
  bool close() { return ::close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_;
};

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

ReadOutcome read_whole_file(std::string_view path, text::ByteSet& into) {
  into.clear();
  if (path.empty()) return ReadOutcome::cannot_open;
  const std::string native = text::to_utf8(path);
  // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below.
  Descriptor fd(::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0) return ReadOutcome::cannot_open;
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) return ReadOutcome::read_error;
  if (!S_ISREG(info.st_mode)) return ReadOutcome::not_a_file;

  // One byte more than the size, so that the end is seen without growing;
  // a file that grows meanwhile is still read to its end.
  std::size_t expected = static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 0);
  if (!into.reserve(expected + 1)) return ReadOutcome::no_memory;
  advise_large_buffer(into.data(), into.capacity());
  ::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
  std::size_t size = 0;
  for (;;) {
    if (size == into.capacity()) {
      if (!into.reserve(into.capacity() + into.capacity() / 2 + 4096)) {
        into.clear();
        return ReadOutcome::no_memory;
      }
      advise_large_buffer(into.data(), into.capacity());
    }
    const ssize_t n = ::read(fd.get(), into.data() + size, into.capacity() - size);
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

bool write_whole_file(std::string_view path, std::span<const std::string_view> pieces) {
  if (path.empty()) return false;
  const std::string native = text::to_utf8(path);
  std::string temporary;
  Descriptor fd(create_temporary_beside(native, O_WRONLY, temporary));
  if (fd.get() < 0) return false;
  bool ok = true;
  for (std::string_view piece : pieces) {
    if (!write_all(fd.get(), piece)) {
      ok = false;
      break;
    }
  }
  ok = fd.close() && ok;
  if (ok) ok = ::rename(temporary.c_str(), native.c_str()) == 0;
  if (!ok) ::unlink(temporary.c_str());
  return ok;
}

}  // namespace platform
