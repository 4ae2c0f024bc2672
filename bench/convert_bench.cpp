// Times the one-file conversion end to end against the raw in-process iconv()
// on the same bytes, the iconv command-line tool and cp, side by side.
//
//   bixiqin-bench-convert CORPUS [--reps 3]
//
// CORPUS is what bixiqin-bench-corpus wrote. Every measurement runs in a
// child process of its own, so that its peak memory (ru_maxrss) is its own;
// the best of the repetitions is reported. Outputs are removed afterwards.
#include <fcntl.h>
#include <iconv.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "convert/single_file.h"
#include "text/encoding_boundary.h"

namespace fs = std::filesystem;

namespace {

struct Sample {
  double seconds = 0;
  long peak_kib = 0;
  bool ok = false;
};

double now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Runs `work` in a child; the child reports the seconds it timed itself.
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
  sample.ok = got && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return sample;
}

// Runs a program, stdout to `out_path` when given; timed from fork to exit.
Sample program(const std::vector<std::string>& args, const std::string& out_path = {}) {
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
  sample.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return sample;
}

std::string slurp(const fs::path& path) {
  std::string bytes(fs::file_size(path), '\0');
  std::ifstream in(path, std::ios::binary);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

// The limit: iconv() alone, input already in memory, output room (twice the
// largest input) already faulted in; descriptor opened and closed per file
// as the program does.
double raw_iconv(const std::vector<std::string>& inputs, const char* from, const char* to) {
  std::size_t largest = 0;
  for (const std::string& s : inputs) largest = std::max(largest, s.size());
  std::vector<char> out(largest * 2 + 256);
  std::memset(out.data(), 1, out.size());
  const double start = now();
  for (const std::string& s : inputs) {
    iconv_t cd = iconv_open(to, from);
    char* in = const_cast<char*>(s.data());
    std::size_t in_left = s.size();
    char* dst = out.data();
    std::size_t room = out.size();
    if (iconv(cd, &in, &in_left, &dst, &room) == static_cast<std::size_t>(-1)) return -1;
    iconv_close(cd);
  }
  return now() - start;
}

double convert_files(const std::vector<std::string>& paths, const char* from, const char* to) {
  const double start = now();
  for (const std::string& p : paths) {
    if (!转换单个文件(p, from, to).已转换) return -1;
  }
  return now() - start;
}

void remove_outputs(const fs::path& folder, const std::string& prefix) {
  std::vector<fs::path> doomed;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().filename().string().starts_with(prefix)) doomed.push_back(entry.path());
  }
  for (const fs::path& p : doomed) fs::remove_all(p);
}

void settle() { sync(); }

Sample best(std::vector<Sample>& samples) {
  Sample b;
  for (const Sample& s : samples) {
    if (!s.ok) return s;
    if (!b.ok || s.seconds < b.seconds) b = s;
  }
  return b;
}

struct Row {
  std::string what;
  Sample sample;
};

void print_table(const char* title, const std::vector<Row>& rows, double bytes, double files,
                 std::size_t ours_index) {
  std::printf("\n%s\n\n", title);
  std::printf("| method | seconds | MB/s | files/s | peak RSS MiB | one-file step / method |\n");
  std::printf("|---|---:|---:|---:|---:|---:|\n");
  const double ours = rows[ours_index].sample.seconds;
  for (const Row& r : rows) {
    if (!r.sample.ok) {
      std::printf("| %s | failed | | | | |\n", r.what.c_str());
      continue;
    }
    const double s = r.sample.seconds;
    std::printf("| %s | %.3f | %.1f | %.0f | %.1f | %.2f |\n", r.what.c_str(), s,
                bytes / s / 1e6, files / s, r.sample.peak_kib / 1024.0, s / ours);
  }
}

void big_file(const fs::path& corpus, const char* name, const char* from, const char* to,
              int reps) {
  const fs::path source = corpus / "big" / name;
  const double bytes = static_cast<double>(fs::file_size(source));
  const fs::path ours_out = corpus / "big" / (std::string(to) + "  " + name);
  const fs::path tool_out = corpus / "big" / "tool.out";
  const fs::path cp_out = corpus / "big" / "cp.out";
  const std::string source_text = text::from_utf8(source.string());
  std::vector<Sample> raw, ours, tool, cp;
  for (int rep = 0; rep < reps; ++rep) {
    settle();
    raw.push_back(in_child([&] {
      std::vector<std::string> inputs;
      inputs.push_back(slurp(source));
      return raw_iconv(inputs, from, to);
    }));
    settle();
    ours.push_back(in_child([&] { return convert_files({source_text}, from, to); }));
    fs::remove(ours_out);
    settle();
    tool.push_back(program({"iconv", "-f", from, "-t", to, source.string()}, tool_out.string()));
    fs::remove(tool_out);
    settle();
    cp.push_back(program({"cp", source.string(), cp_out.string()}));
    fs::remove(cp_out);
  }
  char title[160];
  std::snprintf(title, sizeof title, "One %.0f MB file, %s -> %s (best of %d)", bytes / 1e6, from, to, reps);
  print_table(title,
              {{"raw iconv() in process", best(raw)},
               {"转换单个文件 (read, convert, write)", best(ours)},
               {"iconv tool", best(tool)},
               {"cp", best(cp)}},
              bytes, 1, 1);
}

void small_files(const fs::path& corpus, const char* folder, const char* from, const char* to,
                 int reps) {
  const fs::path dir = corpus / folder;
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(dir)) {
    // The corpus's own files only: their names start with a digit.
    const std::string name = entry.path().filename().string();
    if (!name.empty() && std::isdigit(static_cast<unsigned char>(name[0]))) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  double bytes = 0;
  std::vector<std::string> texts;
  for (const fs::path& f : files) {
    bytes += static_cast<double>(fs::file_size(f));
    texts.push_back(text::from_utf8(f.string()));
  }
  const double count = static_cast<double>(files.size());
  const fs::path out_dir = corpus / "small-out";
  const std::string prefix = std::string(to) + "  ";
  const std::string loop =
      std::string("for f in \"$1\"/[0-9]*.txt; do iconv -f ") + from + " -t " + to +
      " \"$f\" > \"$2/" + prefix + "${f##*/}\" || exit 1; done";
  std::vector<Sample> raw, ours, tool, cp;
  for (int rep = 0; rep < reps; ++rep) {
    fs::remove_all(out_dir);
    fs::create_directories(out_dir);
    settle();
    raw.push_back(in_child([&] {
      std::vector<std::string> inputs;
      for (const fs::path& f : files) inputs.push_back(slurp(f));
      return raw_iconv(inputs, from, to);
    }));
    settle();
    ours.push_back(in_child([&] { return convert_files(texts, from, to); }));
    remove_outputs(dir, prefix);
    settle();
    // Minutes per pass, and tens of times slower: once is enough.
    if (rep == 0) {
      tool.push_back(program({"sh", "-c", loop, "sh", dir.string(), out_dir.string()}));
      fs::remove_all(out_dir);
      fs::create_directories(out_dir);
      settle();
    }
    cp.push_back(program({"sh", "-c", "cp -- \"$1\"/[0-9]*.txt \"$2\"/", "sh", dir.string(), out_dir.string()}));
  }
  fs::remove_all(out_dir);
  char title[160];
  std::snprintf(title, sizeof title, "%.0f files of about %.0f KB, %s -> %s (best of %d)", count,
                bytes / count / 1024, from, to, reps);
  print_table(title,
              {{"raw iconv() in process", best(raw)},
               {"转换单个文件 per file", best(ours)},
               {"shell loop over the iconv tool", best(tool)},
               {"cp of the same files", best(cp)}},
              bytes, count, 1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s CORPUS [--reps N]\n", argv[0]);
    return 2;
  }
  const fs::path corpus = argv[1];
  int reps = 3;
  if (argc >= 4 && std::strcmp(argv[2], "--reps") == 0) reps = std::max(1, std::atoi(argv[3]));
  std::printf("Peak RSS is the child's ru_maxrss; the last column is the method's time over the\n"
              "one-file step's (above 1: the method is slower). The shell loop runs once.\n");
  big_file(corpus, "utf8.txt", "UTF-8", "GBK", reps);
  big_file(corpus, "gbk.txt", "GBK", "UTF-8", reps);
  small_files(corpus, "small-utf8", "UTF-8", "GBK", reps);
  small_files(corpus, "small-gbk", "GBK", "UTF-8", reps);
  return 0;
}
