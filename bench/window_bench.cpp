// Times the whole batch conversion as a user runs it: the real main window,
// on the offscreen platform and, when a display is set (run it under
// xvfb-run), on the real X path as well, its source list holding the
// corpus, a click on "转换", until the handler returns. Side by side with the raw in-process
// iconv() on the same bytes (the limit), the one-file step in a plain loop,
// the iconv tool (a shell loop over it for the chapters) and cp (the I/O floor);
// and the window's peak memory on a 2 GiB file.
//
//   bixiqin-bench-window CORPUS [--reps 3] [--no-shell-loop] [--no-huge] [--only big|huge|chapters]
//
// CORPUS is what bixiqin-bench-corpus wrote. Every measurement runs in a
// child process of its own so that its peak memory is its own. The methods
// take turns within each round; every figure is the median of the rounds
// with the fastest and the slowest in brackets, raw iconv() as CPU time.
// --no-huge leaves out the 2 GiB file (CORPUS/huge/utf8.txt, made once).
// The window runs in this program started again with an internal mode:
//
//   bixiqin-bench-window --child baseline PLATFORM
//   bixiqin-bench-window --child window PLATFORM CORES FROM TO FILE-OR-FOLDER
//
// PLATFORM is offscreen or xcb; CORES, when not 0, confines the child to
// that many processors (its workers follow).
//
// The list is filled the way the add command fills it (each full path into
// 原始文件路径, its file name into 列表框_原始, then the count label), without
// the open dialog: picking 10,000 files by hand is not what is measured.
// Outputs are removed afterwards.
#include <QApplication>
#include <QPushButton>
#include <QEvent>
#include <QTimer>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/program_values.h"
#include "bench/bench_common.h"
#include "convert/batch_conversion.h"
#include "convert/encoding_catalogue.h"
#include "files/path_split.h"
#include "platform/application.h"
#include "platform/cores.h"
#include "text/encoding_boundary.h"
#include "text/gbk_literal.h"
#include "ui/loader.h"
#include "ui/main_window.h"

namespace fs = std::filesystem;

namespace {

using bench::convert_files;
using bench::in_child;
using bench::now;
using bench::program;
using bench::Row;
using bench::Sample;
using bench::settle;
using bench::Summary;
using bench::summarize;

// ---------------------------------------------------------------- the child

long high_water_kib() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with("VmHWM:")) return std::atol(line.c_str() + 6);
  }
  return -1;
}

// Picks `name` in a drop-down list as the user would, then runs its handler.
bool choose(ui::控件& combo, void (*handler)(), const char* name, const text::Text& value) {
  for (int position = 0; position < 3; ++position) {
    if (编码名称(position) == std::optional<text::Text>(name)) {
      combo.置现行选中项(position);
      handler();
      return value == name;
    }
  }
  return false;
}

QPushButton* convert_button() {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (auto* b = top->findChild<QPushButton*>(QStringLiteral("按钮_转换"))) return b;
  }
  return nullptr;
}

// The label's fixed parts are made once: the watch must cost next to nothing.
text::Text label_for(int count) {
  static const text::Text before = "成功转换了"_gbk;
  static const text::Text after = "个文件～～"_gbk;
  return text::join(before, text::decimal(count), after);
}

// Watches the run from inside. A timer asks to be served every millisecond:
// the longest time between two of its turns is how long the window could
// not react. At every paint the label must agree with the result list, and
// the list must never lose a file; with paints at the display's pace one
// paint may show several new files.
class RunWatch : public QObject {
 public:
  void start() {
    last_ = now();
    probe_.setTimerType(Qt::PreciseTimer);
    probe_.setInterval(1);
    QObject::connect(&probe_, &QTimer::timeout, [this] { stamp(); });
    probe_.start();
    qApp->installEventFilter(this);
  }
  void stop() {
    qApp->removeEventFilter(this);
    probe_.stop();
    stamp();
  }

  double longest_gap() const { return longest_; }
  long events() const { return events_; }
  bool consistent() const { return consistent_; }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    ++events_;
    if (event->type() == QEvent::Paint) check();
    return false;
  }

 private:
  void stamp() {
    const double t = now();
    longest_ = std::max(longest_, t - last_);
    last_ = t;
  }
  void check() {
    const int count = ui::主窗口控件::列表框_现在().取项目数();
    if (count == last_count_) return;
    if (count < last_count_) consistent_ = false;
    if (ui::主窗口控件::标签_现信息().标题() != label_for(count)) consistent_ = false;
    last_count_ = count;
  }

  QTimer probe_;
  double last_ = 0;
  double longest_ = 0;
  long events_ = 0;
  int last_count_ = 0;
  bool consistent_ = true;
};

int child(int argc, char** argv) {
  if (argc < 4) return 2;
  const std::string mode = argv[2];
  setenv("QT_QPA_PLATFORM", argv[3], 1);
  if (mode == "window" && argc >= 5 && std::atoi(argv[4]) > 0) {
    cpu_set_t set;
    CPU_ZERO(&set);
    for (int i = 0; i < std::atoi(argv[4]); ++i) CPU_SET(i, &set);
    if (sched_setaffinity(0, sizeof set, &set) != 0) return 6;
  }
  platform::init_application(argc, argv);
  const double setup_start = now();
  if (ui::载入窗口(ui::主窗口定义(), false) == nullptr) return 3;
  using namespace ui::主窗口控件;

  std::vector<std::string> paths;
  if (mode == "window") {
    if (argc < 8) return 2;
    if (!choose(组合框_原编码(), 组合框_原编码_列表项被选择, argv[5], 原编码名)) return 4;
    if (!choose(组合框_现编码(), 组合框_现编码_列表项被选择, argv[6], 现编码名)) return 4;
    const fs::path target = argv[7];
    if (fs::is_directory(target)) {
      for (const fs::path& p : bench::corpus_files(target)) paths.push_back(p.string());
    } else {
      paths.push_back(target.string());
    }
  }
  // As the add command does with the dialog's answer.
  for (const std::string& p : paths) {
    const text::Text path = text::from_utf8(p);
    原始文件路径.append(path);
    列表框_原始().加入项目(取路径名或网址左右(path, 1));
  }
  标签_原信息().置标题(text::join("列表框共有"_gbk, text::decimal(列表框_原始().取项目数()), "个文件～～"_gbk));
  // Let the window show and paint everything before the click.
  for (int i = 0; i < 5; ++i) platform::process_waiting_messages();
  const double setup = now() - setup_start;
  const long hwm_before = high_water_kib();

  QPushButton* button = convert_button();
  if (button == nullptr) return 5;
  RunWatch watch;
  double seconds = -1;
  // The click arrives as an event delivered by the message loop, as a user's does.
  QMetaObject::invokeMethod(qApp, [&] {
    watch.start();
    const double start = now();
    button->click();
    seconds = now() - start;
    watch.stop();
    QCoreApplication::exit(0);
  }, Qt::QueuedConnection);
  platform::run_message_loop();

  const int N = static_cast<int>(paths.size());
  const int items = 列表框_现在().取项目数();
  const bool label_ok = N == 0 || 标签_现信息().标题() == label_for(N);
  const bool every_file = watch.consistent() && items == N && label_ok;
  std::printf("seconds=%.6f gap=%.6f events=%ld items=%d label_ok=%d every_file=%d hwm_before=%ld setup=%.3f\n",
              seconds, watch.longest_gap(), watch.events(), items, label_ok ? 1 : 0, every_file ? 1 : 0,
              hwm_before, setup);
  platform::exit_process_now(0);
}

// --------------------------------------------------------------- the parent

struct WindowSample {
  Sample sample;
  double gap = 0;
  long events = 0;
  int items = 0;
  bool label_ok = false;
  bool every_file = false;
  long hwm_before_kib = 0;
  double setup = 0;
};

// This program again, in a child mode; its one line of results comes back
// through a pipe, its peak memory from wait4().
WindowSample run_self(const std::vector<std::string>& args) {
  WindowSample result;
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return result;
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    close(pipe_fds[0]);
    if (dup2(pipe_fds[1], 1) < 0) _exit(127);
    close(pipe_fds[1]);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv("/proc/self/exe", argv.data());
    _exit(127);
  }
  close(pipe_fds[1]);
  std::string out;
  char buffer[512];
  for (ssize_t n; (n = read(pipe_fds[0], buffer, sizeof buffer)) > 0;) out.append(buffer, static_cast<std::size_t>(n));
  close(pipe_fds[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  result.sample.peak_kib = usage.ru_maxrss;
  int label_ok = 0, every_file = 0;
  const int fields = std::sscanf(out.c_str(),
                                 "seconds=%lf gap=%lf events=%ld items=%d label_ok=%d every_file=%d "
                                 "hwm_before=%ld setup=%lf",
                                 &result.sample.seconds, &result.gap, &result.events, &result.items,
                                 &label_ok, &every_file, &result.hwm_before_kib, &result.setup);
  result.label_ok = label_ok != 0;
  result.every_file = every_file != 0;
  result.sample.ok = fields == 8 && WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
                     result.sample.seconds >= 0;
  if (!result.sample.ok) std::fprintf(stderr, "window child failed (status %d): %s\n", status, out.c_str());
  return result;
}

// The window runs' rounds: time and peak as for every method; what the
// watch saw as medians, and the checks as passed only when every round passed.
struct WindowSummary {
  Summary summary;
  double gap = 0, gap_min = 0, gap_max = 0;
  double events = 0;
  int fewest_items = 0;
  bool label_ok = true;
  bool every_file = true;
  double hwm_before_mib = 0;
  double setup = 0;
};

WindowSummary summarize_window(const std::vector<WindowSample>& samples) {
  WindowSummary w;
  std::vector<Sample> plain;
  std::vector<double> gaps, events, hwm, setup;
  for (const WindowSample& s : samples) {
    plain.push_back(s.sample);
    gaps.push_back(s.gap);
    events.push_back(static_cast<double>(s.events));
    hwm.push_back(static_cast<double>(s.hwm_before_kib) / 1024.0);
    setup.push_back(s.setup);
    w.fewest_items = plain.size() == 1 ? s.items : std::min(w.fewest_items, s.items);
    w.label_ok = w.label_ok && s.label_ok;
    w.every_file = w.every_file && s.every_file;
  }
  w.summary = summarize(plain);
  if (!w.summary.ok) return w;
  w.gap = bench::median(gaps);
  w.gap_min = *std::min_element(gaps.begin(), gaps.end());
  w.gap_max = *std::max_element(gaps.begin(), gaps.end());
  w.events = bench::median(events);
  w.hwm_before_mib = bench::median(hwm);
  w.setup = bench::median(setup);
  return w;
}

double mib(long kib) { return static_cast<double>(kib) / 1024.0; }

struct Case {
  std::string title;
  std::string source;   // a file, or a folder of chapters
  const char* from;
  const char* to;
  bool many;            // chapters: the tool runs in a shell loop
};

struct Aim {
  std::string what;
  bool met;
  std::string figures;
};

std::string fmt(const char* format, double a, double b = 0) {
  char line[200];
  std::snprintf(line, sizeof line, format, a, b);
  return line;
}

struct Variant {
  std::string name;      // as the rows show it
  std::string platform;  // offscreen or xcb
  int cores;             // 0: every one
};

// The window runs of a case, each with its own rounds' summary.
struct WindowRuns {
  Variant variant;
  WindowSummary summary;
};

void print_watch(const WindowRuns& run, double files) {
  const WindowSummary& window = run.summary;
  std::printf("Window, %s: longest wait between two turns of a 1 ms timer %s ms (%.0f events); "
              "列表框_现在 holds %d of %.0f; final label %s; list and label agreed at every paint: %s. "
              "Setup %.2f s; peak before the click %.1f MiB.\n",
              run.variant.name.c_str(),
              bench::spread("%.1f", window.gap * 1e3, window.gap_min * 1e3, window.gap_max * 1e3).c_str(),
              window.events, window.fewest_items, files,
              window.label_ok ? "成功转换了N个文件～～ as due" : "WRONG", window.every_file ? "yes" : "NO",
              window.setup, window.hwm_before_mib);
}

void print_case(const Case& c, const std::vector<Row>& rows, const std::vector<WindowRuns>& windows, double bytes,
                double files, double largest_in, double largest_out, double baseline_mib, int reps,
                const std::string& load_before, const std::string& load_after, double took,
                bool shell_loop_run) {
  std::printf("\n### %s (median of %d interleaved rounds, min–max%s; load average before %s, after %s; "
              "%.0f s)\n\n",
              c.title.c_str(), reps, !c.many ? "" : shell_loop_run ? "; the shell loop once" : "; no shell loop",
              load_before.c_str(), load_after.c_str(), took);
  std::printf("%.0f file(s), %.1f MB in all, the largest %.1f KB; the largest output %.1f KB.\n\n", files,
              bytes / 1e6, largest_in / 1e3, largest_out / 1e3);
  const WindowSummary& window = windows.front().summary;
  const double ours = window.summary.seconds;
  bench::print_rows(rows, bytes, files, ours, "first window row's speed / method's");
  if (!window.summary.ok) return;
  std::printf("\n");
  for (const WindowRuns& w : windows) {
    if (w.summary.summary.ok) print_watch(w, files);
  }

  auto seconds_of = [&](const std::string& prefix) -> const Summary* {
    for (const Row& r : rows) {
      if (r.what.starts_with(prefix) && r.summary.ok) return &r.summary;
    }
    return nullptr;
  };
  std::vector<Aim> aims;
  for (const WindowRuns& w : windows) {
    if (!w.summary.summary.ok) continue;
    const double t = w.summary.summary.seconds;
    if (const Summary* tool = c.many ? nullptr : seconds_of("iconv tool")) {
      aims.push_back({"window, " + w.variant.name + ": ≥ 2.5× the iconv tool's speed",
                      tool->seconds / t >= 2.5, fmt("%.2f×", tool->seconds / t)});
    }
    if (const Summary* cp = c.many ? seconds_of("cp") : nullptr) {
      const double aim = w.variant.platform == "xcb" ? 0.85 : 1.0;
      aims.push_back({"window, " + w.variant.name + fmt(": ≥ %.2f× cp's files/s", aim),
                      cp->seconds / t >= aim, fmt("%.2f×", cp->seconds / t)});
    }
    aims.push_back({"window, " + w.variant.name + ": longest wait of the 1 ms timer ≤ 16 ms",
                    w.summary.gap <= 0.016, fmt("%.1f ms", w.summary.gap * 1e3)});
  }
  const double largest = std::max(largest_in, largest_out);
  const double bound_mib = baseline_mib + 2 * largest / 1048576.0;
  const double peak_mib = window.summary.peak_mib;
  if (!c.many) {
    if (const Summary* raw = seconds_of("raw")) {
      const double share = raw->seconds / ours;
      aims.push_back({"at least 85% of raw iconv()", share >= 0.85, fmt("%.0f%%", share * 100)});
    }
    if (const Summary* tool = seconds_of("iconv tool")) {
      const double share = tool->seconds / ours;
      aims.push_back({"no slower than the iconv tool", share >= 1.0, fmt("%.2f× the tool's speed", share)});
    }
  } else {
    if (const Summary* loop = seconds_of("shell loop")) {
      const double times = loop->seconds / ours;
      aims.push_back({"at least 5× the shell loop over iconv", times >= 5, fmt("%.1f×", times)});
    } else if (!shell_loop_run) {
      aims.push_back({"at least 5× the shell loop over iconv", false, "not measured in this run"});
    }
    if (const Summary* cp = seconds_of("cp")) {
      const double share = cp->seconds / ours;
      aims.push_back({"at least 50% of cp's files/s", share >= 0.5, fmt("%.0f%%", share * 100)});
    }
    aims.push_back({"list and label updated for every file", window.every_file,
                    window.every_file ? "yes" : "no"});
  }
  aims.push_back({"peak memory within two copies of the largest file + baseline", peak_mib <= bound_mib,
                  fmt("%.1f MiB against %.1f MiB", peak_mib, bound_mib)});
  if (!c.many) {
    const double input_bound = baseline_mib + 2 * largest_in / 1048576.0;
    aims.push_back({"(stricter: within two copies of the input + baseline)", peak_mib <= input_bound,
                    fmt("%.1f MiB against %.1f MiB", peak_mib, input_bound)});
  }
  std::printf("\n| aim | met | figure |\n|---|---|---|\n");
  for (const Aim& a : aims) std::printf("| %s | %s | %s |\n", a.what.c_str(), a.met ? "yes" : "no", a.figures.c_str());
}

// Microseconds to make one empty file in a new folder under `root`, over
// 2,000 files left in place. On a file system without a journal, ext4 steps
// over the numbers of files removed in the last minutes when it makes a new
// one, which can make every method several times slower; this shows it.
double making_a_file_us(const fs::path& root, const std::string& name) {
  const fs::path folder = root / name;
  fs::create_directories(folder);
  constexpr int kFiles = 2000;
  const double start = now();
  for (int i = 0; i < kFiles; ++i) std::ofstream(folder / std::to_string(i));
  return (now() - start) / kFiles * 1e6;
}

// The chapters' folders are left to `leftovers`, removed once every
// measurement is done: removing them between cases made the next case pay.
void run_case(const Case& c, const std::string& self, double baseline_mib, int reps, bool shell_loop,
              const std::vector<Variant>& variants, std::vector<fs::path>& leftovers) {
  const double started = now();
  const std::string load_before = bench::load_average();
  const fs::path source = c.source;
  std::vector<fs::path> files;
  if (c.many) {
    files = bench::corpus_files(source);
  } else {
    files.push_back(source);
  }
  const fs::path folder = c.many ? source : source.parent_path();
  const std::string prefix = std::string(c.to) + "  ";
  double bytes = 0, largest_in = 0, largest_out = 0;
  for (const fs::path& f : files) {
    const double size = static_cast<double>(fs::file_size(f));
    bytes += size;
    largest_in = std::max(largest_in, size);
  }
  const double count = static_cast<double>(files.size());
  const fs::path scratch = folder.parent_path() / ("window-bench-out-" + folder.filename().string());
  const std::string loop = std::string("for f in \"$1\"/[0-9]*.txt; do iconv -f ") + c.from + " -t " + c.to +
                           " \"$f\" > \"$2/" + prefix + "${f##*/}\" || exit 1; done";
  // Every conversion writes beside its sources, as the program does, in a
  // folder of its own: copies of the chapters, a link to the large file.
  const auto place = [&](const std::string& name) {
    return c.many ? bench::fresh_copy(files, scratch, name) : bench::fresh_link(source, scratch, name);
  };

  std::vector<Sample> raw, raw_threads, single, tool, cp;
  std::vector<std::vector<WindowSample>> window(variants.size());
  fs::remove_all(scratch);
  fs::create_directories(scratch);
  const double probe_before = c.many ? making_a_file_us(scratch, "probe-before") : 0;
  for (int rep = 0; rep < reps; ++rep) {
    const std::string r = std::to_string(rep);
    const fs::path single_dir = place("single-" + r);
    const std::vector<std::string> single_texts = bench::paths_in(single_dir, files);
    settle();
    single.push_back(in_child([&] { return convert_files(single_texts, c.from, c.to); }));
    if (!c.many) fs::remove_all(single_dir);
    for (std::size_t v = 0; v < variants.size(); ++v) {
      const fs::path window_dir = place("window-" + std::to_string(v) + "-" + r);
      settle();
      window[v].push_back(run_self({self, "--child", "window", variants[v].platform,
                                    std::to_string(variants[v].cores), c.from, c.to,
                                    (c.many ? window_dir : window_dir / source.filename()).string()}));
      for (const fs::path& f : files) {
        const fs::path out = window_dir / (prefix + f.filename().string());
        std::error_code ec;
        const auto size = fs::file_size(out, ec);
        if (!ec) largest_out = std::max(largest_out, static_cast<double>(size));
      }
      // Chapters stay until the end: ext4 makes new files slowly right
      // after many were removed, which the next measurement would pay.
      if (!c.many) fs::remove_all(window_dir);
    }
    settle();
    if (!c.many) {
      const fs::path tool_out = scratch / "tool.out";
      tool.push_back(program({"iconv", "-f", c.from, "-t", c.to, source.string()}, tool_out.string()));
      fs::remove(tool_out);
      settle();
      cp.push_back(program({"cp", source.string(), (scratch / "cp.out").string()}));
      fs::remove(scratch / "cp.out");
    } else {
      // Minutes per pass and tens of times slower: once is enough.
      if (rep == 0 && shell_loop) {
        const fs::path loop_dir = place("loop");
        settle();
        tool.push_back(program({"sh", "-c", loop, "sh", loop_dir.string(), loop_dir.string()}));
      }
      const fs::path cp_dir = place("cp-" + r);
      fs::create_directories(cp_dir / "copies");
      settle();
      cp.push_back(program({"sh", "-c", "cp -- \"$1\"/[0-9]*.txt \"$1\"/copies/", "sh", cp_dir.string()}));
    }
    // Last in the round: the memory it frees would otherwise be charged to
    // the next measurement (this virtual machine hands freed memory back to
    // its host, and taking it again costs).
    settle();
    raw.push_back(in_child([&] {
      std::vector<std::string> inputs;
      for (const fs::path& f : files) inputs.push_back(bench::slurp(f));
      return bench::raw_iconv(inputs, c.from, c.to);
    }));
    if (!c.many) {
      settle();
      raw_threads.push_back(in_child([&] {
        return bench::raw_iconv_on_threads(bench::slurp(source), c.from, c.to, platform::usable_cores());
      }));
    }
  }
  if (c.many) {
    const double probe_after = making_a_file_us(scratch, "probe-after");
    std::printf("\n(%s: making an empty file took %.0f µs before the rounds and %.0f µs after them)\n",
                c.title.c_str(), probe_before, probe_after);
    leftovers.push_back(scratch);
  } else {
    fs::remove_all(scratch);
  }

  std::vector<Row> rows;
  std::vector<WindowRuns> windows;
  for (std::size_t v = 0; v < variants.size(); ++v) {
    windows.push_back({variants[v], summarize_window(window[v])});
    rows.push_back({"window, " + variants[v].name + ": click on 转换", windows.back().summary.summary});
  }
  rows.push_back({"raw iconv() in process (CPU time)", summarize(raw)});
  if (!raw_threads.empty()) rows.push_back({"raw iconv() on every core at once (elapsed)", summarize(raw_threads)});
  rows.push_back({"转换单个文件 in a plain loop", summarize(single)});
  if (!tool.empty()) rows.push_back({c.many ? "shell loop over the iconv tool" : "iconv tool", summarize(tool)});
  rows.push_back({c.many ? "cp of the same files" : "cp", summarize(cp)});
  print_case(c, rows, windows, bytes, count, largest_in, largest_out, baseline_mib, reps, load_before,
             bench::load_average(), now() - started, shell_loop);
}

// Peak memory on a file far larger than any buffer: the window converting
// it against the idle window (loaded, list empty, one click), in turns.
void run_huge(const fs::path& corpus, const std::string& self, int reps, const std::string& platform) {
  double started = now();
  const fs::path source = bench::huge_file(corpus);
  if (source.empty()) {
    std::printf("\n### One 2 GiB file: could not be made\n");
    return;
  }
  std::printf("\n(the 2 GiB file ready in %.0f s)\n", now() - started);
  started = now();
  const std::string load_before = bench::load_average();
  const double bytes = static_cast<double>(bench::kHugeBytes);
  const fs::path scratch = corpus / "window-bench-huge";
  std::vector<WindowSample> idle, window;
  std::vector<double> above;
  fs::remove_all(scratch);
  for (int rep = 0; rep < reps; ++rep) {
    const fs::path dir = bench::fresh_link(source, scratch, "round-" + std::to_string(rep));
    settle();
    idle.push_back(run_self({self, "--child", "baseline", platform}));
    window.push_back(run_self({self, "--child", "window", platform, "0", "UTF-8", "GBK",
                               (dir / source.filename()).string()}));
    above.push_back(mib(window.back().sample.peak_kib - idle.back().sample.peak_kib));
    fs::remove_all(dir);
  }
  fs::remove_all(scratch);
  const WindowSummary w = summarize_window(window);
  // The idle window's click on an empty list is not a conversion to time.
  Summary idle_peak = summarize_window(idle).summary;
  idle_peak.seconds = idle_peak.seconds_min = idle_peak.seconds_max = 0;
  std::printf("\n### One 2 GiB file, UTF-8 → GBK, through the window, %s (median of %d interleaved rounds, "
              "min–max; load average before %s, after %s; %.0f s)\n\n",
              platform.c_str(), reps, load_before.c_str(), bench::load_average().c_str(), now() - started);
  bench::print_rows({{"idle window (loaded, list empty, one click)", idle_peak},
                     {"window: click on 转换 (按钮_转换_被单击)", w.summary}},
                    bytes, 1, w.summary.seconds, "time / window run's");
  if (!w.summary.ok) {
    std::printf("\naim, 2 GiB file: not measured (the window run failed)\n");
    return;
  }
  print_watch({{platform, platform, 0}, w}, 1);
  std::printf("aim, 2 GiB file: longest wait of the 1 ms timer ≤ 50 ms: %s (%.1f ms)\n",
              w.gap <= 0.050 ? "met" : "not met", w.gap * 1e3);
  const double m = bench::median(above);
  std::printf("\naim, 2 GiB file: peak RSS %s MiB above the idle window (aim ≤ 32 MiB: %s)\n",
              bench::spread("%.1f", m, *std::min_element(above.begin(), above.end()),
                            *std::max_element(above.begin(), above.end()))
                  .c_str(),
              m <= 32 ? "met" : "not met");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--child") == 0) return child(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s CORPUS [--reps N] [--no-shell-loop] [--no-huge] [--only big|huge|chapters]\n",
                 argv[0]);
    return 2;
  }
  const fs::path corpus = fs::absolute(argv[1]);
  int reps = 3;
  bool shell_loop = true;
  bool with_huge = true;
  std::string only;  // big, huge or chapters: that part alone
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--reps") == 0 && i + 1 < argc) reps = std::max(1, std::atoi(argv[++i]));
    else if (std::strcmp(argv[i], "--no-shell-loop") == 0) shell_loop = false;
    else if (std::strcmp(argv[i], "--no-huge") == 0) with_huge = false;
    else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc) only = argv[++i];
  }
  // The real X path whenever there is a display to reach.
  const bool with_x = std::getenv("DISPLAY") != nullptr && *std::getenv("DISPLAY") != 0;
  std::vector<Variant> large{{"offscreen, every core", "offscreen", 0}, {"offscreen, 1 core", "offscreen", 1}};
  std::vector<Variant> chapters{{"offscreen, every core", "offscreen", 0}};
  if (with_x) {
    large.push_back({"Xvfb, every core", "xcb", 0});
    chapters.push_back({"Xvfb, every core", "xcb", 0});
  } else {
    std::printf("No DISPLAY: the window runs only on the offscreen platform (run under xvfb-run -a).\n");
  }
  const std::string self = argv[0];

  // The program's own baseline: the window loaded, the list empty, one click.
  std::vector<WindowSample> baselines;
  for (int rep = 0; rep < reps; ++rep) baselines.push_back(run_self({self, "--child", "baseline", "offscreen"}));
  const Summary baseline = summarize_window(baselines).summary;
  if (!baseline.ok) {
    std::fprintf(stderr, "the window could not be loaded\n");
    return 1;
  }
  std::printf("Each figure: the median of the rounds (min–max). Peak RSS is each child's ru_maxrss; raw\n"
              "iconv() is the child's CPU time. The last column is the method's median time over the\n"
              "window run's (above 1: the window run is faster). Baseline (main window loaded, empty\n"
              "list, one click on 转换): %s MiB. The shell loop runs once.\n",
              bench::spread("%.1f", baseline.peak_mib, baseline.peak_min_mib, baseline.peak_max_mib).c_str());

  const std::vector<Case> cases = {
      {"One large file, UTF-8 → GBK", (corpus / "big" / "utf8.txt").string(), "UTF-8", "GBK", false},
      {"One large file, GBK → UTF-8", (corpus / "big" / "gbk.txt").string(), "GBK", "UTF-8", false},
      {"Many chapters, UTF-8 → GBK", (corpus / "small-utf8").string(), "UTF-8", "GBK", true},
      {"Many chapters, GBK → UTF-8", (corpus / "small-gbk").string(), "GBK", "UTF-8", true},
  };
  const auto part = [&](const char* name) { return only.empty() || only == name; };
  std::vector<fs::path> leftovers;
  if (part("big")) {
    run_case(cases[0], self, baseline.peak_mib, reps, shell_loop, large, leftovers);
    run_case(cases[1], self, baseline.peak_mib, reps, shell_loop, large, leftovers);
  }
  if (with_huge && part("huge")) run_huge(corpus, self, reps, with_x ? "xcb" : "offscreen");
  if (part("chapters")) {
    run_case(cases[2], self, baseline.peak_mib, reps, shell_loop, chapters, leftovers);
    run_case(cases[3], self, baseline.peak_mib, reps, shell_loop, chapters, leftovers);
  }
  for (const fs::path& folder : leftovers) fs::remove_all(folder);
  return 0;
}
