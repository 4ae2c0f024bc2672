#pragma once
// Splitting a path or web address at its last separator.
#include <string_view>

#include "text/text.h"

// 左或右 = 0: everything up to and including the last separator (the folder
// with its trailing separator); 1: what follows it (the file or page name).
// "/" wins over "\" when a text holds both. The search is GBK-aware, so the
// trail byte 0x5C of a two-byte character is never taken for "\".
// A text with no separator at all has an empty left part and is wholly the
// right part, so left + right always gives back the text.
// Any other 左或右 gives the error text as the result.
text::Text 取路径名或网址左右(std::string_view 路径或网址, unsigned char 左或右);
