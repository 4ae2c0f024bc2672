#include "platform/file_io.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "platform/source_file.h"
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
  SourceFile source;
  const ReadOutcome opened = source.open(path);
  return opened == ReadOutcome::read ? source.read_all(into) : opened;
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
