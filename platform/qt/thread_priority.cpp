#include "platform/thread_priority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {

namespace {
// Far enough below the window's thread that it wins every wake-up, near
// enough that the work still has the processors when nothing else wants them.
constexpr int kBackgroundNice = 10;
}  // namespace

void lower_this_thread_priority() {
  // On Linux a nice value belongs to the thread named by its id.
  const auto thread = static_cast<id_t>(::syscall(SYS_gettid));
  const int now = ::getpriority(PRIO_PROCESS, thread);
  if (now < kBackgroundNice) ::setpriority(PRIO_PROCESS, thread, kBackgroundNice);
}

}  // namespace platform
