// Our own iconv (the Windows edition's) against the system's iconv() on the
// same bytes: novel-like Chinese text from the corpus, one whole-buffer call
// per conversion, output room faulted in beforehand. Both must write the
// same bytes. CPU time of this thread; the rounds interleave the two (which
// goes first alternates), each row is the median with the fastest and the
// slowest round.
//
//   bixiqin-bench-iconv-codec CORPUS [--mb 32] [--rounds 11]
//
// CORPUS is a folder made by bixiqin-bench-corpus; its big/utf8.txt is read
// up to the last line end within the first --mb megabytes.
#include <iconv.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "bench/bench_common.h"
#include "platform/common/iconv/own_iconv.h"

namespace {

double thread_cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// One call over the whole input; the bytes written, or nothing on failure.
template <class Open, class Convert, class Close>
std::size_t run(Open open, Convert convert, Close close, const char* from, const char* to, const std::string& input,
                std::vector<char>& out, double& seconds) {
  auto cd = open(to, from);
  char* in = const_cast<char*>(input.data());
  std::size_t in_left = input.size();
  char* dst = out.data();
  std::size_t room = out.size();
  const double start = thread_cpu_seconds();
  const std::size_t result = convert(cd, &in, &in_left, &dst, &room);
  seconds = thread_cpu_seconds() - start;
  close(cd);
  return result == static_cast<std::size_t>(-1) || in_left != 0 ? 0 : static_cast<std::size_t>(dst - out.data());
}

std::size_t system_iconv(const char* from, const char* to, const std::string& input, std::vector<char>& out,
                         double& seconds) {
  return run([](const char* t, const char* f) { return iconv_open(t, f); },
             [](iconv_t cd, char** i, std::size_t* il, char** o, std::size_t* ol) { return iconv(cd, i, il, o, ol); },
             [](iconv_t cd) { iconv_close(cd); }, from, to, input, out, seconds);
}

std::size_t own_iconv(const char* from, const char* to, const std::string& input, std::vector<char>& out,
                      double& seconds) {
  return run([](const char* t, const char* f) { return bixiqin_iconv_open(t, f); },
             [](bixiqin_iconv_t cd, char** i, std::size_t* il, char** o, std::size_t* ol) {
               return bixiqin_iconv(cd, i, il, o, ol);
             },
             [](bixiqin_iconv_t cd) { bixiqin_iconv_close(cd); }, from, to, input, out, seconds);
}

// `input` from UTF-8 into `name` by the system's iconv.
std::string encoded(const std::string& utf8, const char* name) {
  if (std::strcmp(name, "UTF-8") == 0) return utf8;
  std::vector<char> out(utf8.size() * 2 + 16);
  double unused = 0;
  const std::size_t n = system_iconv("UTF-8", name, utf8, out, unused);
  if (n == 0) {
    std::fprintf(stderr, "bench: the corpus text does not convert to %s\n", name);
    std::exit(1);
  }
  return std::string(out.data(), n);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s CORPUS [--mb 32] [--rounds 11]\n", argv[0]);
    return 2;
  }
  std::size_t megabytes = 32;
  int rounds = 11;
  for (int i = 2; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--mb") == 0) megabytes = std::strtoul(argv[i + 1], nullptr, 10);
    if (std::strcmp(argv[i], "--rounds") == 0) rounds = std::atoi(argv[i + 1]);
  }
  std::string utf8 = bench::slurp(bench::fs::path(argv[1]) / "big" / "utf8.txt");
  if (utf8.size() > megabytes << 20) utf8.resize(utf8.rfind('\n', megabytes << 20) + 1);
  if (utf8.empty() || rounds < 1) {
    std::fprintf(stderr, "bench: no text in %s/big/utf8.txt (make it with bixiqin-bench-corpus)\n", argv[1]);
    return 1;
  }

  struct Case {
    const char* from;
    const char* to;
    std::string input;
    std::vector<double> theirs, mine;
  };
  std::vector<Case> cases;
  for (const auto& [from, to] : std::vector<std::pair<const char*, const char*>>{{"GBK", "UTF-8"},
                                                                                {"UTF-8", "GBK"},
                                                                                {"GB18030", "UTF-8"},
                                                                                {"UTF-8", "GB18030"},
                                                                                {"GB18030", "UTF-16LE"},
                                                                                {"UTF-16LE", "GB18030"}}) {
    cases.push_back({from, to, encoded(utf8, from), {}, {}});
  }

  // Output room for the largest result, faulted in once.
  std::vector<char> their_out(utf8.size() * 2 + 16, 1), my_out(utf8.size() * 2 + 16, 1);
  for (Case& c : cases) {
    double unused = 0;
    const std::size_t n = system_iconv(c.from, c.to, c.input, their_out, unused);
    const std::size_t m = own_iconv(c.from, c.to, c.input, my_out, unused);
    if (n == 0 || n != m || std::memcmp(their_out.data(), my_out.data(), n) != 0) {
      std::fprintf(stderr, "bench: %s -> %s: the two write different bytes\n", c.from, c.to);
      return 1;
    }
  }
  std::printf("load average before: %s\n", bench::load_average().c_str());
  for (int r = 0; r < rounds; ++r) {
    for (Case& c : cases) {
      double theirs = 0, mine = 0;
      if (r % 2 == 0) {
        system_iconv(c.from, c.to, c.input, their_out, theirs);
        own_iconv(c.from, c.to, c.input, my_out, mine);
      } else {
        own_iconv(c.from, c.to, c.input, my_out, mine);
        system_iconv(c.from, c.to, c.input, their_out, theirs);
      }
      c.theirs.push_back(theirs);
      c.mine.push_back(mine);
    }
  }
  std::printf("load average after: %s\n", bench::load_average().c_str());
  std::printf("%d rounds; MB/s of input, CPU time; median (slowest–fastest round)\n\n", rounds);
  std::printf("| conversion | input MB | system iconv() MB/s | ours MB/s | speed, ours / system |\n");
  std::printf("|---|---:|---:|---:|---:|\n");
  for (const Case& c : cases) {
    const double mb = static_cast<double>(c.input.size()) / 1e6;
    auto speeds = [&](const std::vector<double>& seconds) {
      std::vector<double> s;
      for (const double x : seconds) s.push_back(mb / x);
      std::vector<double> sorted = s;
      std::sort(sorted.begin(), sorted.end());
      return bench::spread("%.0f", bench::median(s), sorted.front(), sorted.back());
    };
    // The system's median time over ours: above 1, ours is faster.
    const double ratio = bench::median(c.theirs) / bench::median(c.mine);
    std::printf("| %s → %s | %.1f | %s | %s | %.2f× |\n", c.from, c.to, mb, speeds(c.theirs).c_str(),
                speeds(c.mine).c_str(), ratio);
  }
  return 0;
}
