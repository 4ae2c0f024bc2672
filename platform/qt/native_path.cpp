#include "platform/native_path.h"

namespace platform {

std::string native_path_beside(std::string_view path, std::string_view prefix) {
  const std::size_t slash = path.rfind('/');
  const std::size_t name = slash == std::string_view::npos ? 0 : slash + 1;
  std::string out(path.substr(0, name));
  out += prefix;
  out += path.substr(name);
  return out;
}

std::string_view native_file_name(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace platform
