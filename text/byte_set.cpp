#include "text/byte_set.h"

#include <cstring>

namespace text {

ByteSet::ByteSet(std::string_view bytes) {
  if (!bytes.empty() && reserve(bytes.size())) {
    std::memcpy(data_, bytes.data(), bytes.size());
    size_ = bytes.size();
  }
}

bool ByteSet::reserve(std::size_t capacity) {
  if (capacity <= capacity_) return true;
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
