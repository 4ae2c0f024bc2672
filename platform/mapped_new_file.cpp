#include "platform/mapped_new_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>

#include "platform/temporary_file.h"
#include "text/encoding_boundary.h"

namespace platform {

MappedNewFile::~MappedNewFile() { discard(); }

bool MappedNewFile::start(std::string_view path, std::size_t capacity) {
  discard();
  if (path.empty() || capacity == 0) return false;
  final_ = text::to_utf8(path);
  fd_ = create_temporary_beside(final_, O_RDWR, temporary_);
  if (fd_ < 0) return false;
  if (!reserve_on_disk(capacity)) {
    discard();
    return false;
  }
  void* map = ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
  if (map == MAP_FAILED) {
    discard();
    return false;
  }
  data_ = static_cast<char*>(map);
  capacity_ = capacity;
  return true;
}

bool MappedNewFile::reserve_on_disk(std::size_t capacity) {
  // Real blocks, not a hole: a page written through the mapping into a hole
  // on a full disk would end the process with SIGBUS.
  for (;;) {
    if (::fallocate(fd_, 0, 0, static_cast<off_t>(capacity)) == 0) return true;
    if (errno != EINTR) return false;
  }
}

bool MappedNewFile::reserve(std::size_t capacity) {
  if (data_ == nullptr) return false;
  if (capacity <= capacity_) return true;
  if (!reserve_on_disk(capacity)) return false;
  void* map = ::mremap(data_, capacity_, capacity, MREMAP_MAYMOVE);
  if (map == MAP_FAILED) return false;
  data_ = static_cast<char*>(map);
  capacity_ = capacity;
  return true;
}

bool MappedNewFile::commit(std::size_t size) {
  if (data_ == nullptr || size > capacity_) {
    discard();
    return false;
  }
  ::munmap(data_, capacity_);
  data_ = nullptr;
  bool ok = ::ftruncate(fd_, static_cast<off_t>(size)) == 0;
  ok = ::close(fd_) == 0 && ok;
  fd_ = -1;
  if (ok) ok = ::rename(temporary_.c_str(), final_.c_str()) == 0;
  if (ok) temporary_.clear();
  discard();
  return ok;
}

void MappedNewFile::discard() {
  if (data_ != nullptr) ::munmap(data_, capacity_);
  if (fd_ >= 0) ::close(fd_);
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  data_ = nullptr;
  fd_ = -1;
  capacity_ = 0;
  temporary_.clear();
  final_.clear();
}

}  // namespace platform
