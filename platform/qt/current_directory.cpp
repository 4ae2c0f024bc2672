#include "platform/current_directory.h"

#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "text/encoding_boundary.h"

namespace platform {
namespace {

constexpr std::size_t kDirectoryBuffer = 260;

}  // namespace

text::Text current_directory() {
  // The file system's own limit is larger than the program's buffer: read
  // the whole name, then apply the buffer's limit to the program's text.
  std::vector<char> buffer(4096);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return {};
    buffer.resize(buffer.size() * 2);
  }
  text::Text directory = text::from_utf8(buffer.data());
  if (directory.size() >= kDirectoryBuffer) return {};
  return directory;
}

bool set_current_directory(std::string_view directory) {
  const std::string native = text::to_utf8(directory);
  return chdir(native.c_str()) == 0;
}

}  // namespace platform
