#include "platform/source_file.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "platform/qt/errno_file_error.h"
#include "platform/qt/source_file_state.h"
#include "text/encoding_boundary.h"

namespace platform {
namespace {

// The kernel's own file systems, whose files give their contents on reading
// but no true size: proc says 0, sysfs a page.
bool on_system_file_system(int fd) {
  struct statfs info {};
  if (::fstatfs(fd, &info) != 0) return false;
  switch (static_cast<unsigned long>(info.f_type)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC: return true;
    default: return false;
  }
}

std::size_t size_of(const struct stat& info) {
  return static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 0);
}

}  // namespace

FolderHandle::~FolderHandle() {
  if (fd >= 0) ::close(fd);
}

PathParts split_native_path(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  PathParts parts;
  if (slash == std::string::npos) {
    parts.folder = ".";
    parts.name = path;
  } else {
    parts.folder = slash == 0 ? std::string("/") : path.substr(0, slash);
    parts.name = path.substr(slash + 1);
  }
  // "books/" names the folder itself.
  if (parts.name.empty()) parts.name = ".";
  return parts;
}

std::shared_ptr<FolderHandle> open_folder(const std::string& native) {
  const int fd = ::open(native.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  return std::make_shared<FolderHandle>(fd, native);
}

SourceFile::SourceFile() : state_(std::make_unique<State>()) {}
SourceFile::~SourceFile() { close(); }

std::size_t SourceFile::size() const { return size_of(state_->opened); }
unsigned SourceFile::permissions() const { return state_->opened.st_mode & 0777; }
FileError SourceFile::error() const { return state_->error; }

ReadOutcome SourceFile::open(std::string_view path) {
  close();
  State& s = *state_;
  s.error = FileError::missing;
  if (path.empty()) return ReadOutcome::cannot_open;
  PathParts parts = split_native_path(text::to_utf8(path));
  s.folder = open_folder(parts.folder);
  // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused below.
  if (s.folder) s.fd = ::openat(s.folder->fd, parts.name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (s.fd < 0) {
    s.error = detail::file_error_of(errno, false);
    s.folder.reset();
    return ReadOutcome::cannot_open;
  }
  s.name = std::move(parts.name);
  ReadOutcome outcome = ReadOutcome::read;
  FileError error = FileError::none;
  if (::fstat(s.fd, &s.opened) != 0) {
    outcome = ReadOutcome::read_error;
    error = FileError::read_error;
  } else if (!S_ISREG(s.opened.st_mode)) {
    outcome = ReadOutcome::not_a_file;
    error = S_ISDIR(s.opened.st_mode) ? FileError::folder : FileError::not_a_file;
  }
  if (outcome != ReadOutcome::read) {
    close();
    s.error = error;
    return outcome;
  }
  s.error = FileError::none;
  // An empty file on a disk is read as empty, even if it grows meanwhile;
  // the kernel's own files are read to their end.
  s.size_known = s.opened.st_size > 0 || !on_system_file_system(s.fd);
  ::posix_fadvise(s.fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  return outcome;
}

std::optional<std::uint64_t> regular_file_size(std::string_view path) {
  struct stat info {};
  if (path.empty() || ::stat(text::to_utf8(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return std::nullopt;
  }
  return static_cast<std::uint64_t>(size_of(info));
}

std::ptrdiff_t SourceFile::read(char* into, std::size_t room) {
  const std::ptrdiff_t n = read_at(static_cast<std::uint64_t>(state_->position), into, room);
  if (n > 0) state_->position += n;
  return n;
}

std::ptrdiff_t SourceFile::read_at(std::uint64_t offset, char* into, std::size_t room) const {
  const State& s = *state_;
  if (s.fd < 0) return -1;
  if (s.size_known) {
    // A file that grows as it is read would otherwise never end; one that
    // grew is found changed at the end.
    const std::uint64_t size = size_of(s.opened);
    room = static_cast<std::size_t>(std::min<std::uint64_t>(room, offset < size ? size - offset : 0));
    if (room == 0) return 0;
  }
  for (;;) {
    const ssize_t n = ::pread(s.fd, into, room, static_cast<off_t>(offset));
    if (n >= 0) return n;
    if (errno != EINTR) {
      s.error = FileError::read_error;
      return -1;
    }
  }
}

bool SourceFile::intact() const { return intact_after(static_cast<std::uint64_t>(state_->position)); }

bool SourceFile::intact_after(std::uint64_t bytes_read) const {
  const State& s = *state_;
  struct stat now {};
  if (s.fd < 0 || ::fstat(s.fd, &now) != 0) {
    s.error = FileError::read_error;
    return false;
  }
  const std::size_t size = size_of(s.opened);
  const bool same = size_of(now) == size && now.st_mtim.tv_sec == s.opened.st_mtim.tv_sec &&
                    now.st_mtim.tv_nsec == s.opened.st_mtim.tv_nsec;
  // For the kernel's files that say they are empty, the bytes read are all
  // there is to compare.
  const bool intact = same && (!s.size_known || bytes_read == size);
  if (intact) return true;
  // Fewer bytes than its unchanged size promised: a file of the kernel's
  // own, such as sysfs's, not one another program changed.
  s.error = same && bytes_read < size && on_system_file_system(s.fd) ? FileError::not_a_file : FileError::changed;
  return false;
}

bool SourceFile::still_named() const {
  const State& s = *state_;
  if (!s.folder) return false;
  struct stat now {};
  const bool same = ::fstatat(s.folder->fd, s.name.c_str(), &now, 0) == 0 && now.st_dev == s.opened.st_dev &&
                    now.st_ino == s.opened.st_ino && now.st_mode == s.opened.st_mode &&
                    now.st_size == s.opened.st_size && now.st_mtim.tv_sec == s.opened.st_mtim.tv_sec &&
                    now.st_mtim.tv_nsec == s.opened.st_mtim.tv_nsec;
  if (!same) s.error = FileError::changed;
  return same;
}

bool SourceFile::file_open() const { return state_->fd >= 0; }

void SourceFile::rewind() { state_->position = 0; }

void SourceFile::close_file() {
  State& s = *state_;
  if (s.fd >= 0) ::close(s.fd);
  s.fd = -1;
}

void SourceFile::close() {
  close_file();
  State& s = *state_;
  s.folder.reset();
  s.name.clear();
  s.opened = {};
  s.size_known = true;
  s.position = 0;
}

}  // namespace platform
