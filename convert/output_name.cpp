#include "convert/output_name.h"

#include "files/path_split.h"

text::Text 输出文件名(std::string_view S, std::string_view T) {
  return text::join(取路径名或网址左右(S, 0), T, std::string_view("  "), 取路径名或网址左右(S, 1));
}
