#include "platform/thread_priority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {

namespace {
// Far enough below the window's thread that it wins every wake-up, near
// enough that the work still has the processors when nothing else wants them.
constexpr int kBackgroundNice = 10;

// On Linux a nice value belongs to the thread named by its id.
id_t this_thread() { return static_cast<id_t>(::syscall(SYS_gettid)); }
}  // namespace

void lower_this_thread_priority() {
  if (!this_thread_priority_lowered()) ::setpriority(PRIO_PROCESS, this_thread(), kBackgroundNice);
}

bool this_thread_priority_lowered() { return ::getpriority(PRIO_PROCESS, this_thread()) >= kBackgroundNice; }

}  // namespace platform
