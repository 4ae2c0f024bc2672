#include "files/open_dialog_answer.h"

#include <vector>

namespace files {
namespace {

// Pieces between zero bytes. Split byte by byte: a zero byte is never part
// of a character, even after a stray lead byte. A final empty piece (an
// answer that ran to the end of the buffer) is not a name.
std::vector<std::string_view> zero_separated(std::string_view answer) {
  std::vector<std::string_view> pieces;
  while (!answer.empty()) {
    const std::size_t zero = answer.find('\0');
    pieces.push_back(answer.substr(0, zero));
    if (zero == std::string_view::npos) break;
    answer.remove_prefix(zero + 1);
  }
  return pieces;
}

}  // namespace

text::Text parse_open_dialog_answer(std::string_view buffer) {
  using namespace std::string_view_literals;
  const std::string_view answer = buffer.substr(0, buffer.find("\0\0"sv));
  if (answer.find('\0') == std::string_view::npos) return text::Text(answer);

  const std::vector<std::string_view> pieces = zero_separated(answer);
  text::Text folder(pieces.front());
  // "/" is never a byte of a GBK or GB18030 character, so the last byte
  // tells whether the folder already ends with the separator.
  if (folder.empty() || folder.back() != '/') folder += '/';

  text::Text paths;
  for (std::size_t i = 1; i < pieces.size(); ++i) {
    if (i > 1) paths += "\r\n";
    paths += folder;
    paths += pieces[i];
  }
  return paths;
}

}  // namespace files
