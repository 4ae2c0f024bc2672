#pragma once
// How many processors this process may run on.

namespace platform {

// The processors the process is allowed to use (its affinity, as a
// container or `taskset` sets it), at least 1.
unsigned usable_cores();

}  // namespace platform
