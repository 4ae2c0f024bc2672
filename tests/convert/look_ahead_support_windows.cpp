// The process's threads from a Toolhelp snapshot, each thread's priority
// read through a handle of its own.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <tlhelp32.h>

#include <vector>

#include "look_ahead_support.h"

namespace look_ahead_support {
namespace {

// The ids of this process's threads; none when no snapshot can be had.
std::vector<DWORD> thread_ids() {
  std::vector<DWORD> ids;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ids.push_back(entry.th32ThreadID);
  }
  CloseHandle(snapshot);
  return ids;
}

}  // namespace

int threads_now() { return static_cast<int>(thread_ids().size()); }

int threads_at_background_priority() {
  int n = 0;
  for (const DWORD id : thread_ids()) {
    const HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (thread == nullptr) continue;  // ended since the snapshot
    if (GetThreadPriority(thread) == THREAD_PRIORITY_BELOW_NORMAL) ++n;
    CloseHandle(thread);
  }
  return n;
}

bool this_thread_above_background_priority() {
  return GetThreadPriority(GetCurrentThread()) > THREAD_PRIORITY_BELOW_NORMAL;
}

}  // namespace look_ahead_support
