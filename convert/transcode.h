#pragma once
// A byte set from one named encoding into another, through iconv.
#include <string_view>

#include "text/byte_set.h"

// Converts `数据` from `原编码` to `现编码`, both names handed to iconv as they
// are. All or nothing: an invalid or cut-off sequence, a character the target
// cannot hold, an unknown name or a lack of memory give the empty byte set
// and 成功 = false. Nothing is skipped, replaced, added or removed (a byte-order
// mark is a character like any other).
text::ByteSet 转码字节集(const text::ByteSet& 数据, std::string_view 原编码,
                         std::string_view 现编码, bool& 成功);

// The same on any bytes.
text::ByteSet 转码字节集(std::string_view 数据, std::string_view 原编码, std::string_view 现编码,
                         bool& 成功);
