#include "text/gbk_literal.h"

#include <cstdio>
#include <cstdlib>

#include "text/encoding_boundary.h"

namespace text::literals {

Text operator""_gbk(const char* utf8, std::size_t length) {
  auto gbk = utf8_to_gb18030(std::string_view(utf8, length));
  if (!gbk) {
    // Only a broken source file can get here; better to stop loudly.
    std::fprintf(stderr, "bixiqin: source text is not valid UTF-8\n");
    std::abort();
  }
  return *gbk;
}

}  // namespace text::literals
