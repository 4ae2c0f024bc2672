#pragma once
// Converting one file: read it, convert it, write it beside itself.
#include <string_view>

#include "text/text.h"

struct 转换结果 {
  bool 已转换 = false;
  text::Text 输出路径;  // set when converted
};

// Converts the file S from 原编码 to 现编码 and writes the result as
// 输出文件名(S, 现编码), replacing a file of that name. The file is read and
// written in pieces, so memory does not grow with its size. It counts as
// converted only when it was read whole and unchanged, converted without
// fault and the output fully written; otherwise nothing new is left on disk
// and an earlier output of that name is untouched. The source is only ever
// read; the output gets its permission bits, never wider.
转换结果 转换单个文件(std::string_view S, std::string_view 原编码, std::string_view 现编码);
