// Times the one-file conversion end to end against the raw in-process iconv()
// on the same bytes, the iconv command-line tool and cp, side by side; and
// its peak memory on a 2 GiB file.
//
//   bixiqin-bench-convert CORPUS [--reps 3] [--no-huge] [--no-shell-loop] [--only big|huge|chapters]
//
// CORPUS is what bixiqin-bench-corpus wrote. Every measurement runs in a
// child process of its own, so that its peak memory (ru_maxrss) is its own.
// The methods take turns within each round (A B C D, A B C D, …), each
// writing into a folder of its own; every figure is the median of the
// rounds with the fastest and the slowest in brackets. Raw iconv() is the
// child's CPU time. Outputs are removed afterwards. --no-huge leaves out the
// 2 GiB file (made once as CORPUS/huge/utf8.txt, 2 GiB of disk, and its
// output of about 1.4 GB while it is measured).
#include <algorithm>
#include <thread>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_common.h"
#include "text/encoding_boundary.h"

namespace fs = std::filesystem;

namespace {

using bench::convert_files;
using bench::in_child;
using bench::now;
using bench::program;
using bench::raw_iconv;
using bench::Row;
using bench::Sample;
using bench::settle;
using bench::slurp;
using bench::summarize;

const char* met(bool yes) { return yes ? "met" : "not met"; }

// The shell loop over the iconv tool takes minutes per pass; it can be left out.
bool with_shell_loop = true;

void big_file(const fs::path& corpus, const char* name, const char* from, const char* to,
              const char* arrow, int reps) {
  const double started = now();
  const std::string load_before = bench::load_average();
  const fs::path source = corpus / "big" / name;
  const double bytes = static_cast<double>(fs::file_size(source));
  const fs::path scratch = corpus / "convert-bench-out";
  std::vector<Sample> raw, ours, all_cores, tool, cp;
  fs::remove_all(scratch);
  for (int rep = 0; rep < reps; ++rep) {
    const std::string r = std::to_string(rep);
    // The one-file step writes beside its source: a link to it in a new
    // folder. On one thread, then in parts on every core.
    for (const unsigned workers : {1u, 0u}) {
      const fs::path ours_dir = bench::fresh_link(source, scratch, "ours-" + std::to_string(workers) + "-" + r);
      const std::string ours_text = bench::paths_in(ours_dir, {source}).front();
      settle();
      (workers == 1 ? ours : all_cores).push_back(in_child([&] { return convert_files({ours_text}, from, to, workers); }));
      fs::remove_all(ours_dir);
    }
    const fs::path tool_dir = scratch / ("tool-" + r);
    fs::create_directories(tool_dir);
    settle();
    tool.push_back(program({"iconv", "-f", from, "-t", to, source.string()}, (tool_dir / "tool.out").string()));
    fs::remove_all(tool_dir);
    const fs::path cp_dir = scratch / ("cp-" + r);
    fs::create_directories(cp_dir);
    settle();
    cp.push_back(program({"cp", source.string(), (cp_dir / "cp.out").string()}));
    fs::remove_all(cp_dir);
    // Last in the round: the memory it frees would otherwise be charged to
    // the next measurement (this virtual machine hands freed memory back to
    // its host, and taking it again costs).
    settle();
    raw.push_back(in_child([&] {
      std::vector<std::string> inputs;
      inputs.push_back(slurp(source));
      return raw_iconv(inputs, from, to);
    }));
  }
  fs::remove_all(scratch);
  const bench::Summary r = summarize(raw), o = summarize(ours), t = summarize(tool);
  std::printf("\n### One %.0f MB file, %s (median of %d interleaved rounds, min–max; "
              "load average before %s, after %s; %.0f s)\n\n",
              bytes / 1e6, arrow, reps, load_before.c_str(), bench::load_average().c_str(), now() - started);
  const bench::Summary a = summarize(all_cores);
  bench::print_rows({{"raw iconv() in process (CPU time)", r},
                     {"转换单个文件, one thread", o},
                     {"转换单个文件, in parts on every core", a},
                     {"iconv tool", t},
                     {"cp", summarize(cp)}},
                    bytes, 1, o.seconds, "one thread's speed / method's");
  if (!r.ok || !o.ok || !t.ok) {
    std::printf("\naims, %s: not measured (a method failed)\n", arrow);
    return;
  }
  const double over_tool = t.seconds / o.seconds;
  const double share = r.seconds / o.seconds;
  const double share_aim = std::strcmp(from, "UTF-8") == 0 ? 0.80 : 0.70;
  std::printf("\naims, %s: 转换单个文件 on one thread at %.2f× the iconv tool's speed (aim ≥ 1.5×: %s); "
              "at %.0f%% of raw iconv()'s CPU-time speed (aim ≥ %.0f%%: %s)\n",
              arrow, over_tool, met(over_tool >= 1.5), share * 100, share_aim * 100, met(share >= share_aim));
  if (a.ok) {
    std::printf("on every core (%u): %.2f× the iconv tool's speed, %.2f× one thread's\n",
                std::max(1u, std::thread::hardware_concurrency()), t.seconds / a.seconds, o.seconds / a.seconds);
  }
}

// Peak memory on a file far larger than any buffer: the converting child's
// peak over that of a child that does nothing, forked at the same point.
void huge(const fs::path& corpus, int reps) {
  double started = now();
  const fs::path source = bench::huge_file(corpus);
  if (source.empty()) {
    std::printf("\n### The 2 GiB file: could not be made\n");
    return;
  }
  std::printf("\n(the 2 GiB file ready in %.0f s)\n", now() - started);
  started = now();
  const std::string load_before = bench::load_average();
  const double bytes = static_cast<double>(bench::kHugeBytes);
  const fs::path scratch = corpus / "convert-bench-huge";
  std::vector<Sample> idle, ours;
  std::vector<double> above;
  fs::remove_all(scratch);
  for (int rep = 0; rep < reps; ++rep) {
    const fs::path dir = bench::fresh_link(source, scratch, "round-" + std::to_string(rep));
    const std::string text = bench::paths_in(dir, {source}).front();
    settle();
    idle.push_back(in_child([] { return 0.0; }));
    ours.push_back(in_child([&] { return convert_files({text}, "UTF-8", "GBK"); }));
    above.push_back(static_cast<double>(ours.back().peak_kib - idle.back().peak_kib) / 1024.0);
    fs::remove_all(dir);
  }
  fs::remove_all(scratch);
  const bench::Summary o = summarize(ours);
  std::printf("\n### One 2 GiB file, UTF-8 → GBK (median of %d interleaved rounds, min–max; "
              "load average before %s, after %s; %.0f s)\n\n",
              reps, load_before.c_str(), bench::load_average().c_str(), now() - started);
  bench::print_rows({{"idle child (forked, returns at once)", summarize(idle)},
                     {"转换单个文件 (read, convert, write)", o}},
                    bytes, 1, o.seconds, "time / 转换单个文件's");
  if (!o.ok) {
    std::printf("\naim, 2 GiB file: not measured (the conversion failed)\n");
    return;
  }
  const double m = bench::median(above);
  std::printf("\naim, 2 GiB file: peak RSS %s MiB above the idle child (aim ≤ 32 MiB: %s)\n",
              bench::spread("%.1f", m, *std::min_element(above.begin(), above.end()),
                            *std::max_element(above.begin(), above.end()))
                  .c_str(),
              met(m <= 32));
}

void small_files(const fs::path& corpus, const char* folder, const char* from, const char* to,
                 const char* arrow, int reps) {
  const double started = now();
  const std::string load_before = bench::load_average();
  const fs::path dir = corpus / folder;
  const std::vector<fs::path> files = bench::corpus_files(dir);
  double bytes = 0;
  for (const fs::path& f : files) bytes += static_cast<double>(fs::file_size(f));
  const double count = static_cast<double>(files.size());
  // Every method that writes gets copies of the sources in a folder of its
  // own and writes beside them, as the program does.
  const fs::path scratch = corpus / "convert-bench-out";
  const std::string prefix = std::string(to) + "  ";
  const std::string loop =
      std::string("for f in \"$1\"/[0-9]*.txt; do iconv -f ") + from + " -t " + to +
      " \"$f\" > \"$1/" + prefix + "${f##*/}\" || exit 1; done";
  std::vector<Sample> raw, ours, tool, cp;
  fs::remove_all(scratch);
  for (int rep = 0; rep < reps; ++rep) {
    const std::string r = std::to_string(rep);
    const fs::path ours_dir = bench::fresh_copy(files, scratch, "ours-" + r);
    const std::vector<std::string> ours_texts = bench::paths_in(ours_dir, files);
    settle();
    ours.push_back(in_child([&] { return convert_files(ours_texts, from, to); }));
    // Minutes per pass, and tens of times slower: once is enough.
    if (rep == 0 && with_shell_loop) {
      const fs::path loop_dir = bench::fresh_copy(files, scratch, "loop");
      settle();
      tool.push_back(program({"sh", "-c", loop, "sh", loop_dir.string()}));
    }
    const fs::path cp_dir = bench::fresh_copy(files, scratch, "cp-" + r);
    fs::create_directories(cp_dir / "copies");
    settle();
    cp.push_back(program({"sh", "-c", "cp -- \"$1\"/[0-9]*.txt \"$1\"/copies/", "sh", cp_dir.string()}));
    // Last in the round, as for the large files.
    settle();
    raw.push_back(in_child([&] {
      std::vector<std::string> inputs;
      for (const fs::path& f : files) inputs.push_back(slurp(f));
      return raw_iconv(inputs, from, to);
    }));
  }
  fs::remove_all(scratch);
  const bench::Summary o = summarize(ours);
  std::printf("\n### %.0f files of about %.0f KB, %s (median of %d interleaved rounds, min–max; the shell "
              "loop once; load average before %s, after %s; %.0f s)\n\n",
              count, bytes / count / 1024, arrow, reps, load_before.c_str(), bench::load_average().c_str(),
              now() - started);
  std::vector<bench::Row> rows{{"raw iconv() in process (CPU time)", summarize(raw)},
                               {"转换单个文件 per file", o}};
  if (!tool.empty()) rows.push_back({"shell loop over the iconv tool", summarize(tool)});
  rows.push_back({"cp of the same files", summarize(cp)});
  bench::print_rows(rows, bytes, count, o.seconds, "转换单个文件's speed / method's");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s CORPUS [--reps N] [--no-huge] [--no-shell-loop] [--only big|huge|chapters]\n",
                 argv[0]);
    return 2;
  }
  const fs::path corpus = fs::absolute(argv[1]);
  int reps = 3;
  bool with_huge = true;
  std::string only;  // one part of the measurements, or all of them
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--reps") == 0 && i + 1 < argc) reps = std::max(1, std::atoi(argv[++i]));
    else if (std::strcmp(argv[i], "--no-huge") == 0) with_huge = false;
    else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc) only = argv[++i];
    else if (std::strcmp(argv[i], "--no-shell-loop") == 0) with_shell_loop = false;
  }
  const auto wanted = [&](const char* part) { return only.empty() || only == part; };
  std::printf("Each figure: the median of the rounds (min–max). Peak RSS is the child's ru_maxrss; raw\n"
              "iconv() is the child's CPU time around the iconv() calls, input in memory and output room\n"
              "faulted in. The last column is the method's median time over 转换单个文件's (above 1: the\n"
              "method is slower).\n");
  if (wanted("big")) {
    big_file(corpus, "utf8.txt", "UTF-8", "GBK", "UTF-8 → GBK", reps);
    big_file(corpus, "gbk.txt", "GBK", "UTF-8", "GBK → UTF-8", reps);
  }
  if (with_huge && wanted("huge")) huge(corpus, reps);
  if (wanted("chapters")) {
    small_files(corpus, "small-utf8", "UTF-8", "GBK", "UTF-8 → GBK", reps);
    small_files(corpus, "small-gbk", "GBK", "UTF-8", "GBK → UTF-8", reps);
  }
  return 0;
}
