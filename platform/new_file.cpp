#include "platform/new_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <utility>

#include "text/encoding_boundary.h"

namespace platform {
namespace {

// The folder part of `path` with its "/"; nothing for a name alone.
std::string folder_prefix(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A short hidden name in the output's folder, so that the final rename stays
// within one file system and a long output name cannot make it too long.
std::string temporary_name(const std::string& final_path) {
  static std::atomic<unsigned> counter{0};
  return folder_prefix(final_path) + ".bixiqin-" + std::to_string(::getpid()) + "-" +
         std::to_string(counter.fetch_add(1)) + ".part";
}

// A new file in the folder of `final_path`: unnamed where the file system
// has unnamed files, otherwise under a hidden name of its own, which goes
// into `named`. The descriptor, or -1.
int open_new(const std::string& final_path, mode_t mode, std::string& named) {
  named.clear();
  const std::string folder = folder_prefix(final_path);
  const int unnamed = ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
  if (unnamed >= 0) return unnamed;
  for (int attempt = 0; attempt < 100; ++attempt) {
    named = temporary_name(final_path);
    const int fd = ::open(named.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0) return fd;
    if (errno != EEXIST) break;
  }
  named.clear();
  return -1;
}

}  // namespace

bool NewFile::create(std::string_view path, unsigned permissions) {
  discard();
  error_ = FileError::missing;
  if (path.empty()) return false;
  final_ = text::to_utf8(path);
  fd_ = open_new(final_, permissions & 0777, temporary_);
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
  }
  return true;
}

bool NewFile::link_unnamed(const std::string& name) const {
  // Through /proc for every user; where that is missing, the empty path,
  // which needs a privilege.
  const std::string self = "/proc/self/fd/" + std::to_string(fd_);
  return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
         ::linkat(fd_, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0;
}

bool NewFile::name_temporarily() {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary_ = temporary_name(final_);
    if (link_unnamed(temporary_)) return true;
    if (errno != EEXIST) break;
  }
  temporary_.clear();
  return false;
}

bool NewFile::link_as_output() {
  if (!link_unnamed(final_)) return false;
  if (::close(std::exchange(fd_, -1)) != 0) {
    // Named, but perhaps not whole: the name goes again (nothing was there).
    const int why = errno;
    ::unlink(final_.c_str());
    errno = why;
    fail();
    return true;
  }
  discard();
  return true;
}

bool NewFile::commit() {
  if (fd_ < 0) return false;
  // Where no file has the output's name yet, the unnamed file takes it in
  // one step: one change of the folder instead of two.
  if (temporary_.empty() && link_as_output()) return error_ == FileError::none;
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
  temporary_.clear();
  final_.clear();
}

}  // namespace platform
