#include "files/path_split.h"

#include "text/gbk_literal.h"

text::Text 取路径名或网址左右(std::string_view 路径或网址, unsigned char 左或右) {
  if (左或右 != 0 && 左或右 != 1) {
    return "\r\n错误提示：模块之取路径名或网址左右  左或右参数设置错误，只能为0或1！\r\n"_gbk;
  }
  long long p = text::find_last(路径或网址, "/");
  if (p < 0) p = text::find_last(路径或网址, "\\");
  // No separator: the cut is at 0, so the whole text is the right part.
  const std::size_t cut = p < 0 ? 0 : static_cast<std::size_t>(p);
  if (左或右 == 0) return text::Text(路径或网址.substr(0, cut));
  return text::Text(路径或网址.substr(cut));
}
