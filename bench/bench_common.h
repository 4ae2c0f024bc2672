#pragma once
// What the benchmarks share: timing in child processes (so that each
// measurement's peak memory is its own), the raw iconv() limit, the corpus's
// files, and cleaning up the outputs.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace bench {

namespace fs = std::filesystem;

struct Sample {
  double seconds = 0;
  long peak_kib = 0;  // the child's ru_maxrss
  bool ok = false;
};

// Seconds on a monotonic clock.
double now();

// Runs `work` in a forked child; the child reports the seconds it timed itself.
Sample in_child(const std::function<double()>& work);

// Runs a program, stdout to `out_path` when given; timed from fork to exit.
Sample program(const std::vector<std::string>& args, const std::string& out_path = {});

// The whole file's bytes.
std::string slurp(const fs::path& path);

// The limit: iconv() alone, input already in memory, output room (twice the
// largest input) already faulted in; a descriptor opened and closed per file
// as the program does. Seconds, or -1 when a conversion fails.
double raw_iconv(const std::vector<std::string>& inputs, const char* from, const char* to);

// The corpus's own chapter files in `folder` (their names start with a
// digit), sorted.
std::vector<fs::path> corpus_files(const fs::path& folder);

// Removes everything in `folder` whose name starts with `prefix`.
void remove_outputs(const fs::path& folder, const std::string& prefix);

// A new folder `name` under `root` holding copies of `files`, for one
// measurement that writes files. Each measurement writes into folders of its
// own, kept until the end: the file system skips inodes freed in the last
// minutes when it makes new files, so a measurement that followed the removal
// of another's outputs would pay for them.
fs::path fresh_copy(const std::vector<fs::path>& files, const fs::path& root, const std::string& name);

// The program's text for the path of each of `files`' names inside `folder`.
std::vector<std::string> paths_in(const fs::path& folder, const std::vector<fs::path>& files);

// The one-file step over `paths` (program text) in order: seconds, or -1 as
// soon as one is not converted.
double convert_files(const std::vector<std::string>& paths, const char* from, const char* to);

// Writes dirty pages back, so that one measurement's writes are not paid by the next.
void settle();

// The fastest of the samples; a failed one wins, so that failures show.
Sample best(const std::vector<Sample>& samples);

}  // namespace bench
