#pragma once
// Byte set: a counted run of bytes. Large files pass through here, so the
// storage is a plain heap block that can grow in place and whose allocation
// failure is an answer, not an exception.
#include <cstddef>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

namespace text {

class ByteSet {
 public:
  ByteSet() = default;
  explicit ByteSet(std::string_view bytes);
  ~ByteSet() { std::free(data_); }
  ByteSet(ByteSet&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)),
        size_(std::exchange(other.size_, 0)),
        capacity_(std::exchange(other.capacity_, 0)) {}
  ByteSet& operator=(ByteSet&& other) noexcept {
    if (this != &other) {
      std::free(data_);
      data_ = std::exchange(other.data_, nullptr);
      size_ = std::exchange(other.size_, 0);
      capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
  }
  ByteSet(const ByteSet&) = delete;
  ByteSet& operator=(const ByteSet&) = delete;

  // Makes room for `capacity` bytes, keeping the current contents; false
  // when the memory cannot be had (the set is then unchanged).
  [[nodiscard]] bool reserve(std::size_t capacity);
  // Sets the length to n <= capacity without touching the bytes.
  void set_size(std::size_t n) { size_ = n; }
  void clear() { size_ = 0; }
  // Gives the memory back.
  void release();

  char* data() { return data_; }
  const char* data() const { return data_; }
  std::size_t size() const { return size_; }
  std::size_t capacity() const { return capacity_; }
  bool empty() const { return size_ == 0; }
  std::string_view view() const { return {data_ ? data_ : "", size_}; }

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace text
