#pragma once
// Conversion between the program's GBK-family bytes and the UTF-8 the
// platform speaks. GB18030 covers all of Unicode, so every name a user can
// have survives the round trip. Only platform/ and the literal helper use it.
#include <optional>
#include <string>
#include <string_view>

namespace text {

// Strict conversions: nullopt when the input is not valid in its encoding.
std::optional<std::string> gb18030_to_utf8(std::string_view gbk);
std::optional<std::string> utf8_to_gb18030(std::string_view utf8);

// Lenient forms for display and file names: bytes that do not decode are
// carried as single characters (see encoding_boundary.cpp), never dropped.
std::string to_utf8(std::string_view gbk);
std::string from_utf8(std::string_view utf8);

}  // namespace text
