// Start-up and idle cost of window programs under an X server: the time
// from exec to the first top-level window being mapped, then, after the
// program has settled, its resident and proportional memory and the number
// of shared libraries it has mapped. Programs take turns (A B C A B C ...);
// medians with min and max.
//
//   bixiqin-bench-start [--rounds N] [--settle SECONDS] PROGRAM...
//
// DISPLAY names the X server; no window manager is needed (one may run).
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_common.h"

namespace {

struct Round {
  double map_ms = -1;
  double rss_mib = 0;
  double pss_mib = 0;
  int libraries = 0;
};

double now_ms() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double smaps_mib(pid_t pid, const char* field) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/smaps_rollup");
  std::string line;
  const std::string key = std::string(field) + ":";
  while (std::getline(in, line)) {
    if (line.rfind(key, 0) == 0) return std::strtod(line.c_str() + key.size(), nullptr) / 1024.0;
  }
  return 0;
}

// Distinct shared objects among the process's file mappings.
int libraries(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/maps");
  std::string line;
  std::set<std::string> seen;
  while (std::getline(in, line)) {
    const auto slash = line.find('/');
    if (slash == std::string::npos) continue;
    const std::string path = line.substr(slash);
    if (path.find(".so") != std::string::npos) seen.insert(path);
  }
  return static_cast<int>(seen.size());
}

Round run_once(Display* dpy, const std::string& program, double settle_s) {
  Round r;
  // Drain what earlier rounds left, then watch new top-level windows.
  XSync(dpy, True);
  const double start = now_ms();
  const pid_t pid = fork();
  if (pid == 0) {
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  const int fd = ConnectionNumber(dpy);
  while (now_ms() - start < 20000) {
    while (XPending(dpy)) {
      XEvent ev;
      XNextEvent(dpy, &ev);
      if (ev.type == MapNotify && r.map_ms < 0) r.map_ms = now_ms() - start;
    }
    if (r.map_ms >= 0) break;
    fd_set fds;
    FD_ZERO(&fds);
    FD_SET(fd, &fds);
    timeval tv{0, 1000};
    select(fd + 1, &fds, nullptr, nullptr, &tv);
  }
  std::this_thread::sleep_for(std::chrono::duration<double>(settle_s));
  r.rss_mib = smaps_mib(pid, "Rss");
  r.pss_mib = smaps_mib(pid, "Pss");
  r.libraries = libraries(pid);
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return r;
}

void report(const char* what, const std::vector<double>& v, const char* unit) {
  const auto [low, high] = std::minmax_element(v.begin(), v.end());
  std::printf("  %-22s median %8.1f %s  (min %.1f, max %.1f)\n", what, bench::median(v), unit, *low, *high);
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 11;
  double settle = 2.0;
  std::vector<std::string> programs;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc) rounds = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--settle") && i + 1 < argc) settle = std::atof(argv[++i]);
    else programs.emplace_back(argv[i]);
  }
  if (programs.empty() || rounds < 1) {
    std::fprintf(stderr, "usage: bixiqin-bench-start [--rounds N] [--settle SECONDS] PROGRAM...\n");
    return 2;
  }
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) {
    std::fprintf(stderr, "bixiqin-bench-start: no X server (DISPLAY)\n");
    return 1;
  }
  XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
  std::vector<std::vector<Round>> results(programs.size());
  for (int round = 0; round < rounds; ++round) {
    for (std::size_t p = 0; p < programs.size(); ++p) {
      results[p].push_back(run_once(dpy, programs[p], settle));
      if (results[p].back().map_ms < 0) {
        std::fprintf(stderr, "bixiqin-bench-start: %s mapped no window\n", programs[p].c_str());
        return 1;
      }
    }
  }
  std::printf("%d interleaved rounds, memory %.1f s after the window was mapped\n", rounds, settle);
  for (std::size_t p = 0; p < programs.size(); ++p) {
    std::vector<double> ms, rss, pss, libs;
    for (const Round& r : results[p]) {
      ms.push_back(r.map_ms);
      rss.push_back(r.rss_mib);
      pss.push_back(r.pss_mib);
      libs.push_back(r.libraries);
    }
    std::printf("%s\n", programs[p].c_str());
    report("exec to window mapped", ms, "ms ");
    report("RSS", rss, "MiB");
    report("PSS", pss, "MiB");
    report("shared libraries", libs, "   ");
  }
  XCloseDisplay(dpy);
  return 0;
}
