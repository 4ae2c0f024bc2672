// 取路径名或网址左右 on any bytes: the two parts always give back the text,
// the cut is right after the last "/" (or, with none, the last "\"), both
// found character by character, and a wrong side selector gives the error
// text, never a part of the input. The same bytes taken as a file name from
// the file system: its program text gives back exactly those bytes, and
// splitting the program text cuts the name at its own last "/".
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "files/path_split.h"
#include "text/encoding_boundary.h"
#include "text/text.h"

namespace {
void check(bool ok) {
  if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned char side = data[0];
  const std::string_view path(reinterpret_cast<const char*>(data + 1), size - 1);

  const text::Text left = 取路径名或网址左右(path, 0);
  const text::Text right = 取路径名或网址左右(path, 1);
  check(left + right == path);
  // The search is GBK-aware: a stray lead byte takes the byte after it,
  // even a "/", as its second byte. The right part starts on a character.
  if (text::find(path, "/") >= 0) {
    check(!left.empty() && left.back() == '/');
    check(text::find(right, "/") < 0);
  } else if (!left.empty()) {
    check(left.back() == '\\');
    check(text::find(right, "\\") < 0);
  } else {
    check(right == path);
  }

  const text::Text program = text::from_utf8(path);
  check(text::to_utf8(program) == path);
  const std::size_t slash = path.rfind('/');
  if (slash != std::string_view::npos) {
    check(text::to_utf8(取路径名或网址左右(program, 0)) == path.substr(0, slash + 1));
    check(text::to_utf8(取路径名或网址左右(program, 1)) == path.substr(slash + 1));
  }

  if (side > 1) {
    const text::Text error = 取路径名或网址左右(path, side);
    check(error == 取路径名或网址左右(std::string_view(), side));
    check(!error.empty());
  }
  return 0;
}
