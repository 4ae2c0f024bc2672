// Times the one-file conversion end to end against the raw in-process iconv()
// on the same bytes, the iconv command-line tool and cp, side by side.
//
//   bixiqin-bench-convert CORPUS [--reps 3]
//
// CORPUS is what bixiqin-bench-corpus wrote. Every measurement runs in a
// child process of its own, so that its peak memory (ru_maxrss) is its own;
// the best of the repetitions is reported. Outputs are removed afterwards.
#include <algorithm>
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

using bench::best;
using bench::convert_files;
using bench::in_child;
using bench::now;
using bench::program;
using bench::raw_iconv;
using bench::Sample;
using bench::settle;
using bench::slurp;

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
    ours.push_back(in_child([&] { return convert_files({source_text}, from, to); }));
    fs::remove(ours_out);
    settle();
    tool.push_back(program({"iconv", "-f", from, "-t", to, source.string()}, tool_out.string()));
    fs::remove(tool_out);
    settle();
    cp.push_back(program({"cp", source.string(), cp_out.string()}));
    fs::remove(cp_out);
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
    if (rep == 0) {
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
