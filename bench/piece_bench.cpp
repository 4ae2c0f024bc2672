// How large a piece a streaming conversion should read at a time. Each size
// runs the one-file step's loop on the corpus's large files: pread into one
// reused buffer, iconv into one reused output buffer of twice the piece + 64,
// write() to an unnamed file in the output's folder, named when complete.
//
//   bixiqin-bench-piece CORPUS [--reps 5] [--kib 1024,512,256]
//
// The sizes take turns within each round, each in a child process of its
// own writing into a folder of its own; every figure is the median of the
// rounds (min–max), as elapsed time and as the child's CPU time. The last
// column compares with the first size listed.
#include <fcntl.h>
#include <iconv.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_common.h"

namespace fs = std::filesystem;

namespace {

using bench::now;
using bench::Sample;
using bench::settle;

bool write_all(int fd, const char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, bytes, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// The loop itself, from opening the source to naming the output: seconds,
// or -1 on any failure.
double stream(const fs::path& source, const fs::path& output, std::size_t piece, const char* from,
              const char* to) {
  const double start = now();
  const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return -1;
  ::posix_fadvise(in, 0, 0, POSIX_FADV_SEQUENTIAL);
  const int out = ::open(output.parent_path().c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
  iconv_t cd = iconv_open(to, from);
  bool ok = out >= 0 && cd != reinterpret_cast<iconv_t>(-1);
  const std::size_t room = 2 * piece + 64;
  const auto input = std::make_unique_for_overwrite<char[]>(piece);
  const auto converted = std::make_unique_for_overwrite<char[]>(room);
  off_t position = 0;
  std::size_t carried = 0;  // bytes of a character cut at the last piece's end
  while (ok) {
    const ssize_t n = ::pread(in, input.get() + carried, piece - carried, position);
    if (n <= 0) {
      ok = n == 0 && carried == 0;
      break;
    }
    position += n;
    char* src = input.get();
    std::size_t left = carried + static_cast<std::size_t>(n);
    while (ok && left > 0) {
      char* dst = converted.get();
      std::size_t space = room;
      const std::size_t result = iconv(cd, &src, &left, &dst, &space);
      const int error = errno;
      ok = write_all(out, converted.get(), static_cast<std::size_t>(dst - converted.get()));
      if (result != static_cast<std::size_t>(-1) || error == E2BIG) continue;
      if (error != EINVAL) ok = false;
      break;
    }
    std::memmove(input.get(), src, left);
    carried = left;
  }
  if (ok) {
    const std::string self = "/proc/self/fd/" + std::to_string(out);
    ok = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, output.c_str(), AT_SYMLINK_FOLLOW) == 0;
  }
  if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  if (out >= 0) ok = ::close(out) == 0 && ok;
  ::close(in);
  return ok ? now() - start : -1;
}

void one_file(const fs::path& corpus, const char* name, const char* from, const char* to, const char* arrow,
              const std::vector<std::size_t>& kib, int reps) {
  const double started = now();
  const std::string load_before = bench::load_average();
  const fs::path source = corpus / "big" / name;
  const double bytes = static_cast<double>(fs::file_size(source));
  const fs::path scratch = corpus / "piece-bench-out";
  std::vector<std::vector<Sample>> samples(kib.size());
  fs::remove_all(scratch);
  for (int rep = 0; rep < reps; ++rep) {
    for (std::size_t i = 0; i < kib.size(); ++i) {
      const fs::path dir =
          bench::fresh_link(source, scratch, std::to_string(kib[i]) + "-" + std::to_string(rep));
      settle();
      samples[i].push_back(bench::in_child(
          [&] { return stream(dir / name, dir / (std::string(to) + "  " + name), kib[i] << 10, from, to); }));
      fs::remove_all(dir);
    }
  }
  fs::remove_all(scratch);
  // The same rounds again with the child's CPU time (user and system) for
  // its seconds: less moved than the elapsed time by others' work.
  std::vector<bench::Row> rows, cpu_rows;
  for (std::size_t i = 0; i < kib.size(); ++i) {
    const std::string what = "pieces of " + std::to_string(kib[i]) + " KiB";
    rows.push_back({what, bench::summarize(samples[i])});
    std::vector<Sample> cpu = samples[i];
    for (Sample& s : cpu) s.seconds = s.cpu_seconds;
    cpu_rows.push_back({what, bench::summarize(cpu)});
  }
  std::printf("\n### One %.0f MB file, %s (median of %d interleaved rounds, min–max; "
              "load average before %s, after %s; %.0f s)\n\nElapsed time:\n\n",
              bytes / 1e6, arrow, reps, load_before.c_str(), bench::load_average().c_str(), now() - started);
  bench::print_rows(rows, bytes, 1, rows.front().summary.seconds, "time / first size's");
  std::printf("\nThe child's CPU time (user and system), speeds over it:\n\n");
  bench::print_rows(cpu_rows, bytes, 1, cpu_rows.front().summary.seconds, "time / first size's");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s CORPUS [--reps N] [--kib K,K,...]\n", argv[0]);
    return 2;
  }
  const fs::path corpus = fs::absolute(argv[1]);
  int reps = 5;
  std::vector<std::size_t> kib = {1024, 512, 256};
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--reps") == 0 && i + 1 < argc) {
      reps = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--kib") == 0 && i + 1 < argc) {
      kib.clear();
      for (char* p = argv[++i]; *p != '\0';) {
        char* end = nullptr;
        const unsigned long k = std::strtoul(p, &end, 10);
        if (end == p || k == 0) break;
        kib.push_back(k);
        p = *end == ',' ? end + 1 : end;
      }
      if (kib.empty()) {
        std::fprintf(stderr, "--kib wants sizes in KiB, separated by commas\n");
        return 2;
      }
    }
  }
  std::printf("Each figure: the median of the rounds (min–max); seconds from opening the source to\n"
              "naming the output, in the child; peak RSS is the child's ru_maxrss.\n");
  one_file(corpus, "utf8.txt", "UTF-8", "GBK", "UTF-8 → GBK", kib, reps);
  one_file(corpus, "gbk.txt", "GBK", "UTF-8", "GBK → UTF-8", kib, reps);
  return 0;
}
