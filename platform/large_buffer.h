#pragma once
// Large whole-file buffers are filled once, front to back. Backing them with
// large pages turns hundreds of thousands of page faults into a few hundred,
// which is most of the cost of a fresh buffer.
#include <cstddef>

namespace platform {

// Advice only: does nothing for small buffers or where the system has no
// large pages, and never changes the contents.
void advise_large_buffer(char* data, std::size_t size);

}  // namespace platform
