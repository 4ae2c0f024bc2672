#include "app/command_line/encoding_choice.h"

#include "convert/encoding_catalogue.h"

namespace {

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
  for (int position = 0; std::optional<text::Text> name = 编码名称(position); ++position) {
    if (same_ignoring_case(typed, *name)) return name;
  }
  return std::nullopt;
}
