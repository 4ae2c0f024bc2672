#include "files/open_dialog_answer.h"

#include <vector>

namespace files {

text::Text parse_open_dialog_answer(std::string_view buffer) {
  using namespace std::string_view_literals;
  const std::string_view answer = buffer.substr(0, buffer.find("\0\0"sv));
  if (answer.find('\0') == std::string_view::npos) return text::Text(answer);

  const std::vector<text::Text> pieces = text::split(answer, "\0"sv);
  text::Text folder = pieces.front();
  // "/" is never a trail byte of a GBK or GB18030 character, so the last
  // byte tells whether the folder already ends with the separator.
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
