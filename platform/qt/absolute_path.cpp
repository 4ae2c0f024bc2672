#include "platform/absolute_path.h"

#include "platform/current_directory.h"

namespace platform {

text::Text absolute_path(std::string_view path) {
  if (path.starts_with('/')) return text::Text(path);
  return text::join(current_directory(), "/", path);
}

}  // namespace platform
