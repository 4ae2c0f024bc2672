#include "platform/file_handles.h"

#include <dirent.h>
#include <sys/resource.h>

#include <limits>

namespace platform {

std::size_t spare_file_handles() {
  rlimit limit {};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
    return std::numeric_limits<std::size_t>::max() / 2;
  }
  const auto allowed = static_cast<std::size_t>(limit.rlim_cur);
  std::size_t open = 0;
  if (DIR* fds = ::opendir("/proc/self/fd")) {
    // "." and ".." and the listing's own handle are counted too: a little to spare.
    while (::readdir(fds) != nullptr) ++open;
    ::closedir(fds);
  } else {
    open = allowed / 2;
  }
  return open < allowed ? allowed - open : 0;
}

}  // namespace platform
