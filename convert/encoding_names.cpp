#include "convert/encoding_catalogue.h"

#include "text/gbk_literal.h"

// Apart from the selection handlers, so that a program without the window
// can use the names.
std::optional<text::Text> 编码名称(int position) {
  switch (position) {
    case 0: return "GBK"_gbk;
    case 1: return "GB18030"_gbk;
    case 2: return "UTF-8"_gbk;
    default: return std::nullopt;
  }
}
