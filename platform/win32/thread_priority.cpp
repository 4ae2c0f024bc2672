#include "platform/thread_priority.h"

#include <windows.h>

namespace platform {

// One step below normal: the window's thread wins every wake-up, and the
// work still has the processors when nothing else wants them. A Windows
// thread does not pass its priority on to the threads it starts; each
// thread that calls this is lowered on its own.
void lower_this_thread_priority() {
  if (!this_thread_priority_lowered()) SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
}

bool this_thread_priority_lowered() {
  return GetThreadPriority(GetCurrentThread()) <= THREAD_PRIORITY_BELOW_NORMAL;
}

}  // namespace platform
