#include "platform/new_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <utility>

#include "text/encoding_boundary.h"

namespace platform {
namespace {

std::string folder_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

// A short hidden name in the output's folder, so that the final rename stays
// within one file system and a long output name cannot make it too long.
std::string temporary_name(const std::string& final_path) {
  static std::atomic<unsigned> counter{0};
  const std::size_t slash = final_path.rfind('/');
  std::string name = slash == std::string::npos ? std::string() : final_path.substr(0, slash + 1);
  return name + ".bixiqin-" + std::to_string(::getpid()) + "-" +
         std::to_string(counter.fetch_add(1)) + ".part";
}

int open_named_temporary(const std::string& final_path, mode_t mode, std::string& temporary,
                         int access = O_WRONLY) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = temporary_name(final_path);
    const int fd = ::open(temporary.c_str(), access | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0) return fd;
    if (errno != EEXIST) break;
  }
  temporary.clear();
  return -1;
}

}  // namespace

bool NewFile::create(std::string_view path, unsigned permissions) {
  discard();
  error_ = FileError::missing;
  if (path.empty()) return false;
  final_ = text::to_utf8(path);
  const mode_t mode = permissions & 0777;
  fd_ = ::open(folder_of(final_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
  if (fd_ < 0) fd_ = open_named_temporary(final_, mode, temporary_);
  if (fd_ < 0) return fail();
  // The umask has been applied; a file being replaced narrows it further,
  // so that converting again never widens who may read the output.
  struct stat existing {};
  struct stat created {};
  if (::lstat(final_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
      ::fstat(fd_, &created) == 0) {
    const mode_t narrowed = created.st_mode & existing.st_mode & 0777;
    if (narrowed != (created.st_mode & 0777) && ::fchmod(fd_, narrowed) != 0) return fail();
  }
  error_ = FileError::none;
  return true;
}

bool NewFile::write(std::string_view bytes) {
  if (fd_ < 0) return false;
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail();
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
    size_ += static_cast<std::uint64_t>(n);
  }
  return true;
}

bool NewFile::create_part(std::string_view path) {
  discard();
  error_ = FileError::missing;
  if (path.empty()) return false;
  const std::string final_path = text::to_utf8(path);
  // Read back when appended, so open for reading too.
  fd_ = ::open(folder_of(final_path).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd_ < 0) {
    std::string named;
    fd_ = open_named_temporary(final_path, 0600, named, O_RDWR);
    // Nameless from the start, as far as this file system allows.
    if (fd_ >= 0) ::unlink(named.c_str());
  }
  if (fd_ < 0) return fail();
  error_ = FileError::none;
  return true;
}

bool NewFile::append(const NewFile& part) {
  if (fd_ < 0 || part.fd_ < 0) return false;
  off_t from = 0;
  std::uint64_t left = part.size_;
  while (left > 0) {
    const ssize_t n = ::copy_file_range(part.fd_, &from, fd_, nullptr, left, 0);
    if (n > 0) {
      left -= static_cast<std::uint64_t>(n);
      size_ += static_cast<std::uint64_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n == 0 || errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) break;
    return fail();
  }
  // Where the kernel cannot copy, through memory.
  char buffer[1 << 16];
  while (left > 0) {
    const ssize_t n = ::pread(part.fd_, buffer, std::min<std::uint64_t>(left, sizeof buffer), from);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return fail();
    if (!write({buffer, static_cast<std::size_t>(n)})) return false;
    from += n;
    left -= static_cast<std::uint64_t>(n);
  }
  return true;
}

bool NewFile::name_temporarily() {
  // Through /proc for every user; where that is missing, the empty path,
  // which needs a privilege.
  const std::string self = "/proc/self/fd/" + std::to_string(fd_);
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary_ = temporary_name(final_);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary_.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
        ::linkat(fd_, "", AT_FDCWD, temporary_.c_str(), AT_EMPTY_PATH) == 0) {
      return true;
    }
    if (errno != EEXIST) break;
  }
  temporary_.clear();
  return false;
}

bool NewFile::commit() {
  if (fd_ < 0) return false;
  // An unnamed file cannot be renamed over the output: it gets a hidden name
  // first, for the moment between the two calls.
  bool ok = !temporary_.empty() || name_temporarily();
  ok = ::close(std::exchange(fd_, -1)) == 0 && ok;
  if (ok) ok = ::rename(temporary_.c_str(), final_.c_str()) == 0;
  if (!ok) return fail();
  temporary_.clear();
  discard();
  return true;
}

bool NewFile::fail() {
  error_ = detail::file_error_of(errno, true);
  discard();
  return false;
}

void NewFile::discard() {
  if (fd_ >= 0) ::close(fd_);
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  fd_ = -1;
  size_ = 0;
  temporary_.clear();
  final_.clear();
}

}  // namespace platform
