#pragma once
// How many more files this process may hold open at once.
#include <cstddef>

namespace platform {

// The handles the process may still open under its limit (ulimit -n) with
// those it holds now; a large number where there is no limit.
std::size_t spare_file_handles();

}  // namespace platform
