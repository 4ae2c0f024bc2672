#include "files/output_names.h"

bool 像输出文件名(std::string_view name) {
  for (const std::string_view encoding : {"GBK", "GB18030", "UTF-8"}) {
    if (name.size() > encoding.size() + 2 && name.starts_with(encoding) &&
        name.substr(encoding.size(), 2) == "  ") {
      return true;
    }
  }
  return false;
}
