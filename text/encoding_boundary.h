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

// Lenient forms for file names and display. from_utf8 takes any bytes the
// file system gives: a byte that is not part of valid UTF-8 is carried as a
// GB18030 sequence that no character uses (see encoding_boundary.cpp), so
// to_utf8 gives back exactly those bytes and no real name shares the text.
// to_utf8 shows other bytes that are no GB18030 character as U+FFFD.
std::string to_utf8(std::string_view gbk);
std::string from_utf8(std::string_view utf8);

}  // namespace text
