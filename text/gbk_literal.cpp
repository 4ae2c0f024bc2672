#include "text/gbk_literal.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <utility>

#include "text/encoding_boundary.h"

namespace text::literals {

Text operator""_gbk(const char* utf8, std::size_t length) {
  // A literal lives as long as the program, so its address names it: each
  // one is converted once, not on every use (a batch run uses its label
  // texts once per file).
  static std::mutex guard;
  static std::map<std::pair<const char*, std::size_t>, Text> converted;
  std::lock_guard lock(guard);
  const auto key = std::make_pair(utf8, length);
  if (auto it = converted.find(key); it != converted.end()) return it->second;
  auto gbk = utf8_to_gb18030(std::string_view(utf8, length));
  if (!gbk) {
    // Only a broken source file can get here; better to stop loudly.
    std::fprintf(stderr, "bixiqin: source text is not valid UTF-8\n");
    std::abort();
  }
  return converted.emplace(key, std::move(*gbk)).first->second;
}

}  // namespace text::literals
