#include "platform/temporary_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string_view>

namespace platform {
namespace {

// A short name in the output's folder, so that the final rename stays within
// one file system and a long output name cannot make the temporary too long.
std::string temporary_name(std::string_view final_path) {
  static std::atomic<unsigned> counter{0};
  const std::size_t slash = final_path.rfind('/');
  std::string name(slash == std::string_view::npos ? std::string_view{}
                                                   : final_path.substr(0, slash + 1));
  name += ".bixiqin-" + std::to_string(::getpid()) + "-" +
          std::to_string(counter.fetch_add(1)) + ".part";
  return name;
}

}  // namespace

int create_temporary_beside(const std::string& final_native, int access, std::string& temporary) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = temporary_name(final_native);
    const int fd = ::open(temporary.c_str(), access | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) break;
  }
  temporary.clear();
  return -1;
}

}  // namespace platform
