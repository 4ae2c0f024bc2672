#pragma once
// Array: a 1-based, growable list of values.
#include <cstddef>
#include <utility>
#include <vector>

namespace text {

template <class T>
class Array {
 public:
  // Number of elements.
  std::size_t size() const { return items_.size(); }
  bool empty() const { return items_.empty(); }
  // Element at 1-based position p (1 <= p <= size()).
  const T& at(std::size_t p) const { return items_.at(p - 1); }
  T& at(std::size_t p) { return items_.at(p - 1); }
  void append(T value) { items_.push_back(std::move(value)); }
  // Releases every element and leaves the empty array.
  void clear() { std::vector<T>().swap(items_); }

 private:
  std::vector<T> items_;
};

}  // namespace text
