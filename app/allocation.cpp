// Allocation through new: a failure is a fatal run-time error with its own
// report, never an exception thrown through the event loop.
#include <cstdlib>
#include <new>

#include "app/runtime_error.h"

namespace {
void* allocate(std::size_t bytes) {
  if (bytes == 0) bytes = 1;
  if (void* p = std::malloc(bytes)) return p;
  报告内存分配失败(static_cast<long long>(bytes));
}
}  // namespace

void* operator new(std::size_t bytes) { return allocate(bytes); }
void* operator new[](std::size_t bytes) { return allocate(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept { return std::malloc(bytes ? bytes : 1); }
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept { return std::malloc(bytes ? bytes : 1); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
