#include "platform/native_path.h"

namespace platform {
namespace {

// Where the file's name starts: Windows divides paths at "\" and at "/",
// and a drive's own current folder ("C:a.txt") ends at its colon. The path
// is UTF-8 here, in which neither byte is ever part of another character.
std::size_t name_start(std::string_view path) {
  const std::size_t separator = path.find_last_of("\\/");
  if (separator != std::string_view::npos) return separator + 1;
  const bool drive = path.size() >= 2 && path[1] == ':' &&
                     ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return drive ? 2 : 0;
}

}  // namespace

std::string native_path_beside(std::string_view path, std::string_view prefix) {
  const std::size_t name = name_start(path);
  std::string out(path.substr(0, name));
  out += prefix;
  out += path.substr(name);
  return out;
}

std::string_view native_file_name(std::string_view path) { return path.substr(name_start(path)); }

}  // namespace platform
