#pragma once
// Background threads give way to the window's thread.

namespace platform {

// Lowers the calling thread's scheduling priority (and that of the threads
// it starts afterwards), so that the window's thread, when it wakes, runs at
// once rather than after a slice of background work. Nothing happens where
// the system does not allow it.
void lower_this_thread_priority();

}  // namespace platform
