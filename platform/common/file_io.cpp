#include "platform/file_io.h"

#include "platform/new_file.h"
#include "platform/source_file.h"

namespace platform {

ReadOutcome read_whole_file(std::string_view path, text::ByteSet& into) {
  into.clear();
  SourceFile source;
  const ReadOutcome opened = source.open(path);
  return opened == ReadOutcome::read ? source.read_all(into) : opened;
}

bool write_whole_file(std::string_view path, std::span<const std::string_view> pieces) {
  NewFile file;
  if (!file.create(path, 0666)) return false;
  for (std::string_view piece : pieces) {
    if (!file.write(piece)) return false;
  }
  return file.commit();
}

}  // namespace platform
