#include "platform/bus_error_guard.h"

#include <csetjmp>
#include <csignal>
#include <mutex>

namespace platform {
namespace {

thread_local sigjmp_buf* active_jump = nullptr;
struct sigaction previous_action {};

void on_bus_error(int, siginfo_t*, void*) {
  if (sigjmp_buf* jump = active_jump) {
    active_jump = nullptr;
    siglongjmp(*jump, 1);
  }
  // Not raised under the guard: what handled bus errors before takes over,
  // and the faulting access repeats under it.
  sigaction(SIGBUS, &previous_action, nullptr);
}

void install_once() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction action {};
    action.sa_sigaction = on_bus_error;
    // Not blocked while handled: the jump out leaves the signal mask as it was.
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, &action, &previous_action);
  });
}

}  // namespace

bool call_catching_bus_errors(void (*fn)(void*), void* context) {
  install_once();
  sigjmp_buf jump;
  if (sigsetjmp(jump, 0) != 0) return false;
  active_jump = &jump;
  fn(context);
  active_jump = nullptr;
  return true;
}

}  // namespace platform
