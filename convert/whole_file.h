#pragma once
// A whole file into a byte set, and byte sets into a whole file.
#include <initializer_list>
#include <string_view>

#include "text/byte_set.h"

// The whole file at `路径`; the empty byte set when it cannot be read.
text::ByteSet 读取整个文件(std::string_view 路径);

// The same, telling a file that was read (perhaps empty) from one that could
// not be: only a readable regular file counts. `into` keeps its memory
// between calls, so a caller reading many files can reuse it.
bool 读取整个文件(std::string_view 路径, text::ByteSet& into);

// Writes the pieces in order as the file `路径`, replacing any file of that
// name. The name appears only when every byte is written; on failure no file
// is left and the old one is untouched. False for an empty path.
bool 写出文件(std::string_view 路径, std::initializer_list<std::string_view> pieces);

namespace convert_detail {
inline std::string_view view_of(const text::ByteSet& bytes) { return bytes.view(); }
inline std::string_view view_of(std::string_view bytes) { return bytes; }
}  // namespace convert_detail

// 写出文件(路径, byte set or text, ...)
template <class... Pieces>
bool 写出文件(std::string_view 路径, const Pieces&... pieces) {
  return 写出文件(路径, {convert_detail::view_of(pieces)...});
}
