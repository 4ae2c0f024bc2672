#include "platform/large_buffer.h"

#include <sys/mman.h>

#include <cstdint>

namespace platform {

void advise_large_buffer(char* data, std::size_t size) {
  constexpr std::uintptr_t kPage = 4096;
  constexpr std::size_t kWorthIt = std::size_t{4} << 20;
  if (data == nullptr || size < kWorthIt) return;
  // madvise wants whole pages: the aligned part inside the buffer.
  const auto begin = (reinterpret_cast<std::uintptr_t>(data) + kPage - 1) & ~(kPage - 1);
  const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(kPage - 1);
  if (end <= begin) return;
  ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
  // Fault the pages in with one call instead of one trap per page: on a
  // virtual machine the traps cost more than the conversion itself.
  ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
}

}  // namespace platform
