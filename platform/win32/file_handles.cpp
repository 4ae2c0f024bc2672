#include "platform/file_handles.h"

#include <limits>

namespace platform {

// The files are opened as system handles, whose limit (some sixteen million
// a process) is never in reach; the C runtime's limit on its own descriptors
// does not apply to them.
std::size_t spare_file_handles() { return std::numeric_limits<std::size_t>::max() / 2; }

}  // namespace platform
