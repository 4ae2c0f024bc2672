#include "app/command_line/name_reader.h"

#include <string>

bool read_names(std::FILE* in, char separator, const std::function<void(std::string_view)>& each) {
  std::string name;
  for (int c; (c = std::getc(in)) != EOF;) {
    if (static_cast<char>(c) != separator) {
      name += static_cast<char>(c);
      continue;
    }
    if (!name.empty()) each(name);
    name.clear();
  }
  // A list whose last name has no separator after it.
  if (!name.empty()) each(name);
  return !std::ferror(in);
}
