#pragma once
// The three encodings, in the order of the drop-down lists, and the two
// selection handlers that keep 原编码名 and 现编码名 in step with them.
#include <optional>

#include "text/text.h"

// The encoding name at a list position (0 "GBK", 1 "GB18030", 2 "UTF-8");
// nothing for any other position.
std::optional<text::Text> 编码名称(int position);

// Item chosen in 组合框_原编码 / 组合框_现编码.
void 组合框_原编码_列表项被选择();
void 组合框_现编码_列表项被选择();
