// The threads from /proc/self/task; a thread's nice value is its own on
// Linux, named by its thread id.
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "look_ahead_support.h"

namespace look_ahead_support {
namespace {

constexpr int kBackgroundNice = 10;

// The nice value in a /proc/self/task/<id>/stat line.
int nice_of(const std::string& line) {
  // Fields after the command's closing parenthesis: state is the 3rd
  // field of the line, nice the 19th.
  std::istringstream rest(line.substr(line.rfind(')') + 2));
  std::string field;
  for (int i = 3; i <= 19 && rest >> field; ++i) {
  }
  return std::stoi(field);
}

}  // namespace

int threads_now() {
  int n = 0;
  for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task")) ++n;
  return n;
}

int threads_at_background_priority() {
  int n = 0;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream stat(task.path() / "stat");
    std::string line;
    // A thread that ended since the folder was listed has no line left.
    if (!std::getline(stat, line) || line.rfind(')') == std::string::npos) continue;
    if (nice_of(line) == kBackgroundNice) ++n;
  }
  return n;
}

bool this_thread_above_background_priority() {
  return getpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid))) < kBackgroundNice;
}

}  // namespace look_ahead_support
