#include "bench/bench_common.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string_view>
#include <thread>

#include "convert/iconv_descriptor.h"
#include "convert/single_file.h"
#include "text/encoding_boundary.h"

namespace bench {
namespace {
double cpu_seconds(const rusage& usage) {
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}
}  // namespace

double now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

Sample in_child(const std::function<double()>& work) {
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return {};
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    close(pipe_fds[0]);
    const double seconds = work();
    const ssize_t n = write(pipe_fds[1], &seconds, sizeof seconds);
    _exit(n == sizeof seconds && seconds >= 0 ? 0 : 1);
  }
  close(pipe_fds[1]);
  Sample sample;
  const bool got = read(pipe_fds[0], &sample.seconds, sizeof sample.seconds) == sizeof sample.seconds;
  close(pipe_fds[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  sample.peak_kib = usage.ru_maxrss;
  sample.cpu_seconds = cpu_seconds(usage);
  sample.ok = got && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return sample;
}

Sample program(const std::vector<std::string>& args, const std::string& out_path) {
  std::fflush(nullptr);
  const double start = now();
  const pid_t pid = fork();
  if (pid == 0) {
    if (!out_path.empty()) {
      const int fd = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
      if (fd < 0 || dup2(fd, 1) < 0) _exit(127);
      close(fd);
    }
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  Sample sample;
  sample.seconds = now() - start;
  sample.peak_kib = usage.ru_maxrss;
  sample.cpu_seconds = cpu_seconds(usage);
  sample.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return sample;
}

std::string slurp(const fs::path& path) {
  std::string bytes(fs::file_size(path), '\0');
  std::ifstream in(path, std::ios::binary);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

namespace {
double cpu_now() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// One call of iconv() on the whole of `input`, into `out`, with a
// descriptor of its own; false when it fails.
bool iconv_once(std::string_view input, const char* from, const char* to, std::vector<char>& out) {
  const IconvDescriptor cd(from, to);
  if (!cd.ok()) return false;
  char* in = const_cast<char*>(input.data());
  std::size_t in_left = input.size();
  char* dst = out.data();
  std::size_t room = out.size();
  return iconv(cd.get(), &in, &in_left, &dst, &room) != static_cast<std::size_t>(-1);
}

}  // namespace

double raw_iconv(const std::vector<std::string>& inputs, const char* from, const char* to) {
  std::size_t largest = 0;
  for (const std::string& s : inputs) largest = std::max(largest, s.size());
  std::vector<char> out(largest * 2 + 256);
  std::memset(out.data(), 1, out.size());
  const double start = cpu_now();
  for (const std::string& s : inputs) {
    if (!iconv_once(s, from, to, out)) return -1;
  }
  return cpu_now() - start;
}

double raw_iconv_on_threads(const std::string& input, const char* from, const char* to, unsigned threads) {
  std::vector<std::size_t> cuts{0};
  for (unsigned i = 1; i < threads; ++i) {
    const std::size_t at = input.find('\n', std::max(cuts.back(), input.size() / threads * i));
    if (at != std::string::npos) cuts.push_back(at + 1);
  }
  cuts.push_back(input.size());
  std::vector<std::vector<char>> outs;
  for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
    outs.emplace_back((cuts[i + 1] - cuts[i]) * 2 + 256);
    std::memset(outs.back().data(), 1, outs.back().size());
  }
  std::atomic<bool> failed{false};
  const auto started = std::chrono::steady_clock::now();
  std::vector<std::thread> running;
  for (std::size_t i = 0; i < outs.size(); ++i) {
    running.emplace_back([&, i] {
      if (!iconv_once(std::string_view(input).substr(cuts[i], cuts[i + 1] - cuts[i]), from, to, outs[i])) {
        failed = true;
      }
    });
  }
  for (std::thread& t : running) t.join();
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
  return failed ? -1 : took.count();
}

std::vector<fs::path> corpus_files(const fs::path& folder) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (!name.empty() && std::isdigit(static_cast<unsigned char>(name[0]))) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

fs::path fresh_copy(const std::vector<fs::path>& files, const fs::path& root, const std::string& name) {
  const fs::path folder = root / name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (const fs::path& f : files) fs::copy_file(f, folder / f.filename());
  return folder;
}

std::vector<std::string> paths_in(const fs::path& folder, const std::vector<fs::path>& files) {
  std::vector<std::string> paths;
  for (const fs::path& f : files) paths.push_back(text::from_utf8((folder / f.filename()).string()));
  return paths;
}

double convert_files(const std::vector<std::string>& paths, const char* from, const char* to,
                     unsigned workers) {
  const double start = now();
  for (const std::string& p : paths) {
    if (!转换单个文件(p, from, to, workers).已转换) return -1;
  }
  return now() - start;
}

void settle() { sync(); }

double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t mid = values.size() / 2;
  return values.size() % 2 == 1 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

Summary summarize(const std::vector<Sample>& samples) {
  Summary s;
  s.rounds = static_cast<int>(samples.size());
  s.ok = !samples.empty();
  std::vector<double> seconds, peaks;
  for (const Sample& x : samples) {
    s.ok = s.ok && x.ok;
    seconds.push_back(x.seconds);
    peaks.push_back(static_cast<double>(x.peak_kib) / 1024.0);
  }
  if (!s.ok) return s;
  s.seconds = median(seconds);
  s.seconds_min = *std::min_element(seconds.begin(), seconds.end());
  s.seconds_max = *std::max_element(seconds.begin(), seconds.end());
  s.peak_mib = median(peaks);
  s.peak_min_mib = *std::min_element(peaks.begin(), peaks.end());
  s.peak_max_mib = *std::max_element(peaks.begin(), peaks.end());
  return s;
}

std::string spread(const char* format, double median, double low, double high) {
  char a[64], b[64], c[64];
  std::snprintf(a, sizeof a, format, median);
  std::snprintf(b, sizeof b, format, low);
  std::snprintf(c, sizeof c, format, high);
  return std::string(a) + " (" + b + "–" + c + ")";
}

void print_rows(const std::vector<Row>& rows, double bytes, double files, double reference_seconds,
                const char* last_header) {
  std::printf("| method | seconds | MB/s | files/s | peak RSS MiB | %s |\n", last_header);
  std::printf("|---|---:|---:|---:|---:|---:|\n");
  for (const Row& r : rows) {
    const Summary& s = r.summary;
    if (!s.ok) {
      std::printf("| %s | failed | | | | |\n", r.what.c_str());
      continue;
    }
    const std::string peak = spread("%.1f", s.peak_mib, s.peak_min_mib, s.peak_max_mib);
    if (s.seconds_min <= 0) {  // a child timed for its memory only
      std::printf("| %s | — | — | — | %s | |\n", r.what.c_str(), peak.c_str());
      continue;
    }
    // The fastest round has the highest speed.
    const std::string mb = spread("%.1f", bytes / s.seconds / 1e6, bytes / s.seconds_max / 1e6,
                                  bytes / s.seconds_min / 1e6);
    const std::string per_second = spread("%.0f", files / s.seconds, files / s.seconds_max, files / s.seconds_min);
    std::printf("| %s | %s | %s | %s | %s | %.2f |\n", r.what.c_str(),
                spread("%.3f", s.seconds, s.seconds_min, s.seconds_max).c_str(), mb.c_str(), per_second.c_str(),
                peak.c_str(), s.seconds / reference_seconds);
  }
}

std::string load_average() {
  std::ifstream in("/proc/loadavg");
  double one = 0, five = 0, fifteen = 0;
  in >> one >> five >> fifteen;
  char line[64];
  std::snprintf(line, sizeof line, "%.2f %.2f %.2f", one, five, fifteen);
  return line;
}

fs::path fresh_link(const fs::path& file, const fs::path& root, const std::string& name) {
  const fs::path folder = root / name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  std::error_code error;
  fs::create_hard_link(file, folder / file.filename(), error);
  if (error) fs::copy_file(file, folder / file.filename());
  return folder;
}

fs::path huge_file(const fs::path& corpus) {
  const fs::path path = corpus / "huge" / "utf8.txt";
  std::error_code error;
  if (fs::file_size(path, error) == kHugeBytes && !error) return path;
  const std::string text = slurp(corpus / "big" / "utf8.txt");
  if (text.empty() || text.back() != '\n') return {};
  fs::create_directories(path.parent_path());
  // Under another name until complete, so that a cut-off run is not reused.
  const fs::path partial = path.string() + ".part";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    std::uintmax_t left = kHugeBytes;
    while (left >= text.size()) {
      out.write(text.data(), static_cast<std::streamsize>(text.size()));
      left -= text.size();
    }
    // rfind gives npos when there is no line end: a cut at 0.
    const std::size_t cut = left == 0 ? 0 : text.rfind('\n', static_cast<std::size_t>(left) - 1) + 1;
    out.write(text.data(), static_cast<std::streamsize>(cut));
    out << std::string(static_cast<std::size_t>(left) - cut, '\n');
    if (!out) {
      fs::remove(partial, error);
      return {};
    }
  }
  fs::rename(partial, path);
  settle();
  return path;
}

}  // namespace bench
