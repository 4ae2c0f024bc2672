#pragma once
// The names this program gives its outputs: an encoding name of the
// catalogue, two blanks, then the source's name.
#include <string_view>

// Whether the file name `name` (without its folder) is named as an output
// is: "GBK  ", "GB18030  " or "UTF-8  " at its start. Those bytes are ASCII,
// so the test holds for program text and for names as the system spells them.
bool 像输出文件名(std::string_view name);
