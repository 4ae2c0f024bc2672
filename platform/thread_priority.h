#pragma once
// Background threads give way to the window's thread.

namespace platform {

// Lowers the calling thread's scheduling priority, so that the window's
// thread, when it wakes, runs at once rather than after a slice of
// background work. Nothing happens where the system does not allow it.
// Threads started afterwards inherit it on Linux but not on Windows: a
// lowered thread that starts helpers has them call this too.
void lower_this_thread_priority();

// Whether the calling thread runs at the lowered priority (or lower).
bool this_thread_priority_lowered();

}  // namespace platform
