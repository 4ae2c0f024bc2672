#include "platform/process_signals.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/qt/hidden_temporaries.h"

namespace platform {
namespace {

// As many as the files a run may hold at once, with room to spare.
constexpr int kSlots = 256;
constexpr std::size_t kLongestName = 64;

enum : int { kFree, kFilling, kArmed };

struct Slot {
  std::atomic<int> state{kFree};
  int folder = -1;
  char name[kLongestName] = {};
};

Slot slots[kSlots];
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the slots");

void remove_and_end(int signal_number) {
  const int saved = errno;
  for (Slot& slot : slots) {
    if (slot.state.load(std::memory_order_acquire) == kArmed) ::unlinkat(slot.folder, slot.name, 0);
  }
  errno = saved;
  // Ended as the signal ends a program, so that a caller sees which it was.
  ::signal(signal_number, SIG_DFL);
  ::raise(signal_number);
}

}  // namespace

namespace detail {

int remember_temporary(int folder_fd, const char* name) {
  if (std::strlen(name) >= kLongestName) return -1;
  for (int i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (!slots[i].state.compare_exchange_strong(expected, kFilling, std::memory_order_acquire)) continue;
    slots[i].folder = folder_fd;
    std::strcpy(slots[i].name, name);
    slots[i].state.store(kArmed, std::memory_order_release);
    return i;
  }
  return -1;
}

void forget_temporary(int slot) {
  if (slot >= 0 && slot < kSlots) slots[slot].state.store(kFree, std::memory_order_release);
}

}  // namespace detail

void guard_outputs_against_signals() {
  ::signal(SIGXFSZ, SIG_IGN);
  ::signal(SIGPIPE, SIG_IGN);
  struct sigaction action {};
  action.sa_handler = remove_and_end;
  sigemptyset(&action.sa_mask);
  const int ending[] = {SIGTERM, SIGINT, SIGHUP};
  for (const int s : ending) sigaddset(&action.sa_mask, s);
  for (const int s : ending) {
    // A signal the caller chose to ignore (nohup, a background job) stays ignored.
    struct sigaction before {};
    if (::sigaction(s, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
    ::sigaction(s, &action, nullptr);
  }
}

}  // namespace platform
