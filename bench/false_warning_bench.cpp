// How often real GBK and GB18030 text is taken for UTF-8 read in the wrong
// encoding: the Simplified Chinese message catalogues installed on this
// machine, their translations converted to GBK (and to GB18030), cut into
// files of N lines, each converted back by the real one-file conversion.
//
//   bixiqin-bench-false-warning [CATALOGUE-FOLDER]
//
// The folder defaults to /usr/share/locale/zh_CN/LC_MESSAGES. Every file is
// written into a temporary folder and converted; a warning is a converted
// result with also_valid_utf8 set. Then the same texts are converted from an
// encoding they are not in, and the suggestions the failed files get counted.
#include <iconv.h>
#include <stdlib.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "convert/encoding_guess.h"
#include "convert/single_file.h"
#include "text/encoding_boundary.h"

namespace fs = std::filesystem;

namespace {

// The translations of a compiled message catalogue, as UTF-8.
std::vector<std::string> translations(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const auto word = [&](std::size_t at) -> std::uint32_t {
    if (at + 4 > bytes.size()) return 0;
    std::uint32_t w;
    std::memcpy(&w, bytes.data() + at, 4);
    return w;
  };
  std::vector<std::string> out;
  if (word(0) != 0x950412DEu) return out;  // only little-endian catalogues here
  const std::uint32_t count = word(8);
  const std::uint32_t table = word(16);
  for (std::uint32_t i = 1; i < count; ++i) {  // entry 0 is the header
    const std::uint32_t length = word(table + 8 * i);
    const std::uint32_t offset = word(table + 8 * i + 4);
    if (length == 0 || std::size_t{offset} + length > bytes.size()) continue;
    std::string s = bytes.substr(offset, length);
    // Plural forms are NUL-separated; each is a text of its own.
    std::size_t start = 0;
    while (start <= s.size()) {
      const std::size_t end = s.find('\0', start);
      const std::string form = s.substr(start, end == std::string::npos ? std::string::npos : end - start);
      if (!form.empty()) out.push_back(form);
      if (end == std::string::npos) break;
      start = end + 1;
    }
  }
  return out;
}

// The text in `to`, or nothing when a character does not fit.
bool convert(const std::string& utf8, const char* to, std::string& out) {
  iconv_t cd = iconv_open(to, "UTF-8");
  out.assign(utf8.size() * 2 + 16, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t left = utf8.size();
  char* dst = out.data();
  std::size_t room = out.size();
  const bool ok = iconv(cd, &in, &left, &dst, &room) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  out.resize(out.size() - room);
  return ok;
}

bool beyond_ascii(const std::string& s) {
  for (const char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path folder = argc > 1 ? argv[1] : "/usr/share/locale/zh_CN/LC_MESSAGES";
  std::vector<std::string> lines;  // one translation a line, newlines inside kept
  int catalogues = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() != ".mo") continue;
    ++catalogues;
    for (std::string& t : translations(entry.path())) {
      if (beyond_ascii(t)) lines.push_back(std::move(t));
    }
  }
  std::printf("%d catalogues, %zu translations with Chinese text\n\n", catalogues, lines.size());
  std::string pattern = (fs::temp_directory_path() / "bixiqin-false-warning-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return 1;
  const fs::path dir = pattern;
  const std::string source = (dir / "t.txt").string();
  std::printf("| encoding | lines a file | files | converted | warnings | rate |\n|---|---:|---:|---:|---:|---:|\n");
  for (const char* encoding : {"GBK", "GB18030"}) {
    for (const std::size_t per_file : {1, 2, 3, 5, 10, 50}) {
      long files = 0, converted = 0, warnings = 0;
      for (std::size_t i = 0; i + per_file <= lines.size(); i += per_file) {
        std::string utf8;
        for (std::size_t k = 0; k < per_file; ++k) utf8 += lines[i + k] + "\n";
        std::string bytes;
        if (!convert(utf8, encoding, bytes)) continue;  // a character GBK lacks
        std::ofstream(source, std::ios::binary | std::ios::trunc) << bytes;
        ++files;
        const 转换结果 r = 转换单个文件(text::from_utf8(source), encoding, "UTF-8");
        if (!r.已转换) continue;
        ++converted;
        if (r.also_valid_utf8) {
          ++warnings;
          if (warnings <= 3) std::fprintf(stderr, "warned (%s, %zu lines): %s", encoding, per_file, utf8.c_str());
        }
      }
      std::printf("| %s | %zu | %ld | %ld | %ld | %.4f%% |\n", encoding, per_file, files, converted, warnings,
                  converted ? 100.0 * static_cast<double>(warnings) / static_cast<double>(converted) : 0.0);
    }
  }

  // The suggestion a failed file gets: the same texts written in one
  // encoding and converted from another. Right: the encoding they are in (GBK
  // and GB18030 as one); wrong: any other; and what the look costs.
  std::printf("\n| written in | converted from | lines a file | failed | suggested right | wrong | none | look / failed conversion |\n"
              "|---|---|---:|---:|---:|---:|---:|---:|\n");
  const auto gb = [](std::string_view e) { return e == "GBK" || e == "GB18030"; };
  for (const char* written : {"GBK", "GB18030", "UTF-8"}) {
    for (const char* from : {"GBK", "GB18030", "UTF-8"}) {
      if (std::string_view(written) == from) continue;
      for (const std::size_t per_file : {1, 10}) {
        long failed = 0, right = 0, wrong = 0, none = 0;
        double converting = 0, looking = 0;
        for (std::size_t i = 0; i + per_file <= lines.size(); i += per_file) {
          std::string utf8;
          for (std::size_t k = 0; k < per_file; ++k) utf8 += lines[i + k] + "\n";
          std::string bytes = utf8;
          if (std::string_view(written) != "UTF-8" && !convert(utf8, written, bytes)) continue;
          std::ofstream(source, std::ios::binary | std::ios::trunc) << bytes;
          const auto t0 = std::chrono::steady_clock::now();
          const 转换结果 r = 转换单个文件(text::from_utf8(source), from, std::string_view(from) == "UTF-8" ? "GB18030" : "UTF-8");
          const auto t1 = std::chrono::steady_clock::now();
          if (r.已转换 || (r.outcome != Outcome::invalid_sequence && r.outcome != Outcome::cut_off)) continue;
          ++failed;
          const text::Text again = 猜测编码(text::from_utf8(source), from);
          const auto t2 = std::chrono::steady_clock::now();
          converting += std::chrono::duration<double>(t1 - t0).count();
          looking += std::chrono::duration<double>(t2 - t1).count();
          const text::Text& said = r.建议编码;
          if (said != again) std::fprintf(stderr, "the look differs from the conversion's\n");
          if (said.empty()) ++none;
          else if (said == written || (gb(said) && gb(written))) ++right;
          else if (++wrong <= 3) std::fprintf(stderr, "suggested %s for %s read as %s: %s", said.c_str(), written, from, utf8.c_str());
        }
        std::printf("| %s | %s | %zu | %ld | %ld | %ld | %ld | %.0f%% |\n", written, from, per_file, failed, right, wrong, none,
                    converting > 0 ? 100.0 * looking / converting : 0.0);
      }
    }
  }
  fs::remove_all(dir);
  return 0;
}
