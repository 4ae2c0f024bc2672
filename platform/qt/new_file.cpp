#include "platform/new_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <utility>
#include <vector>

#include "platform/qt/hidden_temporaries.h"
#include "platform/qt/errno_file_error.h"
#include "platform/qt/source_file_state.h"
#include "text/encoding_boundary.h"

namespace platform {

struct NewFile::State {
  std::shared_ptr<FolderHandle> folder;  // where it goes, held since it was started
  std::string name;                      // the output's name in that folder
  std::string temporary;                 // its hidden name before the commit, if it has one
  int temporary_slot = -1;
  int fd = -1;
  FileError error = FileError::none;
};

namespace {

constexpr char kAccessList[] = "system.posix_acl_access";

// A short hidden name, so that the final rename stays within one file
// system and a long output name cannot make it too long.
std::string temporary_name() {
  static std::atomic<unsigned> counter{0};
  return ".bixiqin-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1)) + ".part";
}

// Gives `s.temporary` the name of a fresh hidden file made by `make` (which
// answers whether it made it); false (errno set) when none could be made.
template <typename Make>
bool take_hidden_name(NewFile::State& s, Make make) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    s.temporary = temporary_name();
    // Noted before it exists, so that no moment is left in which a signal
    // would leave it behind.
    s.temporary_slot = detail::remember_temporary(s.folder->fd, s.temporary.c_str());
    if (make(s.temporary)) return true;
    const int why = errno;
    detail::forget_temporary(std::exchange(s.temporary_slot, -1));
    errno = why;
    if (errno != EEXIST) break;
  }
  s.temporary.clear();
  return false;
}

// A new file in the folder: unnamed where the file system has unnamed
// files, otherwise under a hidden name of its own. The descriptor, or -1.
int open_new(NewFile::State& s, mode_t mode) {
  const int unnamed = ::openat(s.folder->fd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
  if (unnamed >= 0) return unnamed;
  int fd = -1;
  take_hidden_name(s, [&](const std::string& name) {
    fd = ::openat(s.folder->fd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    return fd >= 0;
  });
  return fd;
}

// Gives the unnamed file the name `name`; false (errno set) when it cannot.
bool link_unnamed(const NewFile::State& s, const std::string& name) {
  // Through /proc for every user; where that is missing, the empty path,
  // which needs a privilege.
  const std::string self = "/proc/self/fd/" + std::to_string(s.fd);
  return ::linkat(AT_FDCWD, self.c_str(), s.folder->fd, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
         ::linkat(s.fd, "", s.folder->fd, name.c_str(), AT_EMPTY_PATH) == 0;
}

// The source's access list, if it has one beyond its permission bits.
std::vector<char> access_list_of(int fd) {
  std::vector<char> list(256);
  for (;;) {
    const ssize_t n = ::fgetxattr(fd, kAccessList, list.data(), list.size());
    if (n >= 0) {
      list.resize(static_cast<std::size_t>(n));
      return list;
    }
    if (errno != ERANGE) return {};
    const ssize_t needed = ::fgetxattr(fd, kAccessList, nullptr, 0);
    if (needed <= 0) return {};
    list.resize(static_cast<std::size_t>(needed));
  }
}

// The bits that leave out everyone the source does not let read: its group
// and access list carried over, or the group's and others' bits cleared.
mode_t carry_access(int fd, const SourceFile::State& source, mode_t mode) {
  struct stat made {};
  if (::fstat(fd, &made) != 0) return mode & 0700;
  // A folder with the set-group-id bit gives new files its own group.
  if (made.st_gid != source.opened.st_gid && ::fchown(fd, static_cast<uid_t>(-1), source.opened.st_gid) != 0) {
    mode &= ~mode_t{070};
  }
  const std::vector<char> list = access_list_of(source.fd);
  if (list.empty()) {
    // Nor may a folder's default list give the output readers of its own.
    ::fremovexattr(fd, kAccessList);
    return mode;
  }
  if (::fsetxattr(fd, kAccessList, list.data(), list.size(), 0) != 0) return mode & 0700;
  // The list set the bits again, its mask as the group's: keep the narrower.
  struct stat listed {};
  return ::fstat(fd, &listed) == 0 ? mode & listed.st_mode & 0777 : mode & 0700;
}

}  // namespace

NewFile::NewFile() : state_(std::make_unique<State>()) {}
NewFile::~NewFile() { discard(); }

FileError NewFile::error() const { return state_->error; }
bool NewFile::unnamed() const { return state_->fd >= 0 && state_->temporary.empty(); }

bool NewFile::create(std::string_view path, unsigned permissions) {
  discard();
  State& s = *state_;
  s.error = FileError::missing;
  if (path.empty()) return false;
  PathParts parts = split_native_path(text::to_utf8(path));
  s.folder = open_folder(parts.folder);
  if (!s.folder) return fail();
  s.name = std::move(parts.name);
  return start(permissions, nullptr);
}

bool NewFile::create_beside(const SourceFile& source, std::string_view path) {
  discard();
  State& s = *state_;
  const SourceFile::State& from = *source.state_;
  s.error = FileError::missing;
  if (path.empty() || from.fd < 0) return false;
  PathParts parts = split_native_path(text::to_utf8(path));
  s.folder = parts.folder == from.folder->path ? from.folder : open_folder(parts.folder);
  if (!s.folder) return fail();
  s.name = std::move(parts.name);
  return start(source.permissions(), &source);
}

bool NewFile::start(unsigned permissions, const SourceFile* source) {
  State& s = *state_;
  s.fd = open_new(s, permissions & 0777);
  if (s.fd < 0) return fail();
  // The umask has been applied; the source's readers and a file being
  // replaced narrow it further, so that converting never widens who may
  // read the output.
  struct stat created {};
  if (::fstat(s.fd, &created) != 0) return fail();
  mode_t mode = created.st_mode & 0777;
  if (source != nullptr) mode = carry_access(s.fd, *source->state_, mode);
  struct stat existing {};
  if (::fstatat(s.folder->fd, s.name.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(existing.st_mode)) {
    mode &= existing.st_mode;
  }
  struct stat now {};
  if (::fstat(s.fd, &now) != 0 || ((now.st_mode & 0777) != mode && ::fchmod(s.fd, mode) != 0)) return fail();
  s.error = FileError::none;
  return true;
}

bool NewFile::write(std::string_view bytes) {
  State& s = *state_;
  if (s.fd < 0) return false;
  while (!bytes.empty()) {
    const ssize_t n = ::write(s.fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail();
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool NewFile::commit() {
  State& s = *state_;
  if (s.fd < 0) return false;
  // Where no file has the output's name yet, the unnamed file takes it in
  // one step: one change of the folder instead of two.
  if (s.temporary.empty() && link_unnamed(s, s.name)) {
    if (::close(std::exchange(s.fd, -1)) != 0) {
      // Named, but perhaps not whole: the name goes again (nothing was there).
      const int why = errno;
      ::unlinkat(s.folder->fd, s.name.c_str(), 0);
      errno = why;
      return fail();
    }
    discard();
    return true;
  }
  // An unnamed file cannot be renamed over the output: it gets a hidden name
  // first, for the moment between the two calls.
  bool ok = !s.temporary.empty() ||
            take_hidden_name(s, [&](const std::string& name) { return link_unnamed(s, name); });
  ok = ::close(std::exchange(s.fd, -1)) == 0 && ok;
  if (ok) ok = ::renameat(s.folder->fd, s.temporary.c_str(), s.folder->fd, s.name.c_str()) == 0;
  if (!ok) return fail();
  s.temporary.clear();
  discard();
  return true;
}

bool NewFile::fail() {
  state_->error = detail::file_error_of(errno, true);
  discard();
  return false;
}

void NewFile::discard() {
  State& s = *state_;
  if (s.fd >= 0) ::close(s.fd);
  if (!s.temporary.empty()) ::unlinkat(s.folder->fd, s.temporary.c_str(), 0);
  detail::forget_temporary(std::exchange(s.temporary_slot, -1));
  s.fd = -1;
  s.temporary.clear();
  s.name.clear();
  s.folder.reset();
}

}  // namespace platform
