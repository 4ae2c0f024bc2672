// The open dialog's answer buffer and filter on any bytes. The answer gives
// only text before the first double zero, without zero bytes, one path per
// chosen name; the filter maps byte for byte and ends with two zero bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "files/open_dialog_answer.h"
#include "files/open_dialog_request.h"
#include "text/text.h"

namespace {
void check(bool ok) {
  if (!ok) std::abort();
}

std::size_t count(std::string_view s, std::string_view what) {
  std::size_t n = 0;
  for (std::size_t at = s.find(what); at != std::string_view::npos; at = s.find(what, at + what.size())) ++n;
  return n;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace std::string_view_literals;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const text::Text paths = files::parse_open_dialog_answer(bytes);
  check(paths.find('\0') == text::Text::npos);
  const std::string_view answer = bytes.substr(0, bytes.find("\0\0"sv));
  if (answer.find('\0') == std::string_view::npos) {
    check(paths == answer);
  } else {
    // Folder, then names each ended by a zero byte (the last may run to the
    // end of the buffer): one path per name, the folder in front of each.
    const std::size_t zeros = count(answer, "\0"sv);
    const std::size_t names = answer.back() == '\0' ? zeros - 1 : zeros;
    if (names == 0) {
      check(paths.empty());
    } else if (count(answer, "\r\n"sv) == 0) {
      check(count(paths, "\r\n"sv) == names - 1);
      std::string_view folder = answer.substr(0, answer.find('\0'));
      check(paths.compare(0, folder.size(), folder) == 0);
    }
  }

  const text::Text filter = files::dialog_filter(bytes);
  check(filter.size() == size + 2);
  check(filter[size] == '\0' && filter[size + 1] == '\0');
  for (std::size_t i = 0; i < size; ++i) {
    check(filter[i] == (bytes[i] == '|' ? '\0' : bytes[i]));
  }
  return 0;
}
