#pragma once
// Where the converted copy of a file goes: beside it, named after the target
// encoding, two blanks, and the source's whole file name.
#include <string_view>

#include "text/text.h"

// 输出文件名("/books/a.txt", "GB18030") = "/books/GB18030  a.txt"
text::Text 输出文件名(std::string_view S, std::string_view T);
