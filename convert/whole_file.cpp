#include "convert/whole_file.h"

#include "platform/file_io.h"

text::ByteSet 读取整个文件(std::string_view 路径) {
  text::ByteSet bytes;
  读取整个文件(路径, bytes);
  return bytes;
}

bool 读取整个文件(std::string_view 路径, text::ByteSet& into) {
  // Anything but a regular file read to its end is a failure: an unreadable
  // source must never pass for an empty one.
  return platform::read_whole_file(路径, into) == platform::ReadOutcome::read;
}

bool 写出文件(std::string_view 路径, std::initializer_list<std::string_view> pieces) {
  return platform::write_whole_file(路径, pieces);
}
