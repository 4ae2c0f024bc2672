#pragma once
// Where and why a conversion stopped, found only after it failed, so that a
// file that converts pays nothing for it.
#include <cstdint>
#include <string_view>

#include "convert/single_file.h"
#include "convert/stream.h"

// `again` reads the source afresh from its start; the conversion from
// `原编码` stopped with `end` (invalid or cut_off) at byte `offset`. Sets the
// result's outcome (an invalid sequence, a cut-off end or a character the
// target cannot hold), line, column, bytes and code point.
void 查找失败位置(ByteSource& again, std::string_view 原编码, StreamEnd end, std::uint64_t offset,
                  转换结果& result);
