#pragma once
// What the benchmarks share: timing in child processes (so that each
// measurement's peak memory is its own), medians of rounds, the raw iconv()
// limit, the corpus's files, and fresh folders for the outputs.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace bench {

namespace fs = std::filesystem;

struct Sample {
  double seconds = 0;
  long peak_kib = 0;        // the child's ru_maxrss
  double cpu_seconds = 0;  // the child's user and system time
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
// as the program does. Seconds of this process's CPU time, so that waiting
// for a busy machine is not counted, or -1 when a conversion fails.
double raw_iconv(const std::vector<std::string>& inputs, const char* from, const char* to);

// What the machine's cores can do at best: `input` cut at line ends into one
// share per thread, each converted by iconv() alone on a thread of its own,
// output room faulted in beforehand. Elapsed seconds from the start of the
// first thread to the end of the last, or -1 when a conversion fails.
double raw_iconv_on_threads(const std::string& input, const char* from, const char* to, unsigned threads);

// The corpus's own chapter files in `folder` (their names start with a
// digit), sorted.
std::vector<fs::path> corpus_files(const fs::path& folder);

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
double convert_files(const std::vector<std::string>& paths, const char* from, const char* to,
                     unsigned workers = 0);

// Writes dirty pages back, so that one measurement's writes are not paid by the next.
void settle();

// A measurement's rounds: the median with the fastest and the slowest.
struct Summary {
  bool ok = false;  // every round succeeded: one failure shows
  int rounds = 0;
  double seconds = 0, seconds_min = 0, seconds_max = 0;
  double peak_mib = 0, peak_min_mib = 0, peak_max_mib = 0;
};
Summary summarize(const std::vector<Sample>& samples);

// The middle value; of an even count, the mean of the middle two. 0 when empty.
double median(std::vector<double> values);

// "median (min–max)", each number in `format`.
std::string spread(const char* format, double median, double low, double high);

struct Row {
  std::string what;
  Summary summary;
};

// One table of rows: seconds, MB/s, files/s and peak RSS, each as median
// (min–max); speeds are `bytes` and `files` over the seconds. The last
// column, headed `last_header`, is the row's median seconds over
// `reference_seconds`. A row whose rounds took no time shows its peak only.
void print_rows(const std::vector<Row>& rows, double bytes, double files, double reference_seconds,
                const char* last_header);

// /proc/loadavg's three figures.
std::string load_average();

// A new folder `name` under `root` holding a hard link to `file` (a copy
// where linking fails): a fresh folder to write beside a large source in,
// without copying it.
fs::path fresh_link(const fs::path& file, const fs::path& root, const std::string& name);

// The 2 GiB file: big/utf8.txt repeated, the last copy cut after a whole
// line and the rest filled with line ends, as `corpus`/huge/utf8.txt. Made
// once and reused while it has this size; empty on failure.
constexpr std::uintmax_t kHugeBytes = std::uintmax_t{2} << 30;
fs::path huge_file(const fs::path& corpus);

}  // namespace bench
