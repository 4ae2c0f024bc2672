#include "text/byte_set.h"

#include <cstring>

namespace text {

ByteSet::ByteSet(std::string_view bytes) {
  if (!bytes.empty() && reserve(bytes.size())) {
    std::memcpy(data_, bytes.data(), bytes.size());
    size_ = bytes.size();
  }
}

namespace {
// Large blocks start on a 2 MiB boundary, so that the memory can be backed
// by large pages: first touches of fresh memory are what large conversions
// spend most of their time on otherwise.
constexpr std::size_t kLargeBlock = std::size_t{4} << 20;
constexpr std::size_t kLargeAlign = std::size_t{2} << 20;
}  // namespace

bool ByteSet::reserve(std::size_t capacity) {
  if (capacity <= capacity_) return true;
#if defined(__GLIBC__)
  // Only glibc's aligned blocks may later go to realloc and free as these
  // do; the Windows C runtime has no aligned_alloc at all.
  if (data_ == nullptr && capacity >= kLargeBlock) {
    const std::size_t rounded = (capacity + kLargeAlign - 1) / kLargeAlign * kLargeAlign;
    if (rounded >= capacity) {
      if (void* block = std::aligned_alloc(kLargeAlign, rounded)) {
        data_ = static_cast<char*>(block);
        capacity_ = capacity;
        return true;
      }
    }
  }
#endif
  void* grown = std::realloc(data_, capacity);
  if (grown == nullptr) return false;
  data_ = static_cast<char*>(grown);
  capacity_ = capacity;
  return true;
}

void ByteSet::release() {
  std::free(data_);
  data_ = nullptr;
  size_ = capacity_ = 0;
}

}  // namespace text
