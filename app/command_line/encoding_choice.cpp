#include "app/command_line/encoding_choice.h"

namespace {

// The catalogue's three names, in its order. 编码名称 lives beside the
// window's combo-box handlers, and linking them would bring the whole window
// into this program.
constexpr std::string_view kNames[] = {"GBK", "GB18030", "UTF-8"};

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool same_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

}  // namespace

std::optional<text::Text> chosen_encoding(std::string_view typed) {
  for (const std::string_view name : kNames) {
    if (same_ignoring_case(typed, name)) return text::Text(name);
  }
  return std::nullopt;
}
