#include "bench/bench_common.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "convert/single_file.h"
#include "text/encoding_boundary.h"

namespace bench {

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
  sample.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return sample;
}

std::string slurp(const fs::path& path) {
  std::string bytes(fs::file_size(path), '\0');
  std::ifstream in(path, std::ios::binary);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

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

std::vector<fs::path> corpus_files(const fs::path& folder) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (!name.empty() && std::isdigit(static_cast<unsigned char>(name[0]))) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

void remove_outputs(const fs::path& folder, const std::string& prefix) {
  std::vector<fs::path> doomed;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().filename().string().starts_with(prefix)) doomed.push_back(entry.path());
  }
  for (const fs::path& p : doomed) fs::remove_all(p);
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

double convert_files(const std::vector<std::string>& paths, const char* from, const char* to) {
  const double start = now();
  for (const std::string& p : paths) {
    if (!转换单个文件(p, from, to).已转换) return -1;
  }
  return now() - start;
}

void settle() { sync(); }

Sample best(const std::vector<Sample>& samples) {
  Sample b;
  for (const Sample& s : samples) {
    if (!s.ok) return s;
    if (!b.ok || s.seconds < b.seconds) b = s;
  }
  return b;
}

}  // namespace bench
