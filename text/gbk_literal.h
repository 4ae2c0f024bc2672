#pragma once
// The program's own texts are written in the source as UTF-8 and turned into
// GBK-family bytes here, once per literal:  "关于"_gbk
#include <cstddef>

#include "text/text.h"

namespace text::literals {

Text operator""_gbk(const char* utf8, std::size_t length);

}  // namespace text::literals

using text::literals::operator""_gbk;
