#include "effects/version_product_table.h"

#include <algorithm>
#include <vector>

#include "text/gbk_literal.h"

namespace {

struct EditionRow {
  std::vector<uint32_t> codes;
  text::Text suffix;
};

// Searched in this order; each code stands in one row only.
const std::vector<EditionRow>& editions() {
  static const std::vector<EditionRow> rows = {
      {{0x01, 0x1C, 0x47}, " 旗舰版"_gbk},
      {{0x02, 0x05, 0x43}, " 家庭基础版"_gbk},
      {{0x03, 0x1A, 0x44}, " 家庭高级版"_gbk},
      {{0x04, 0x0A, 0x0E, 0x0F, 0x1B, 0x26, 0x29, 0x46}, " 企业版"_gbk},
      {{0x06, 0x10}, " 商业版"_gbk},
      {{0x07, 0x0D, 0x24, 0x28}, " 标准版"_gbk},
      {{0x08, 0x0C, 0x25, 0x27}, " 数据中心版"_gbk},
      {{0x09}, " 中小型企业版"_gbk},
      {{0x0B, 0x2F, 0x42}, " 简易版"_gbk},
      {{0x11, 0x1D}, " Web服务器版"_gbk},
      {{0x12}, " 高性能计算服务器版"_gbk},
      {{0x14}, " 存储服务器特别版"_gbk},
      {{0x15}, " 存储服务器标准版"_gbk},
      {{0x16}, " 存储服务器工作组版"_gbk},
      {{0x17}, " 存储服务器企业版"_gbk},
      {{0x18, 0x1E, 0x1F, 0x20, 0x23}, " 基础商业服务器版"_gbk},
      {{0x21}, " 服务器简易版"_gbk},
      {{0x2A}, " Hyper-V版"_gbk},
      {{0x30, 0x31, 0x45}, " 专业版"_gbk},
  };
  return rows;
}

}  // namespace

text::Text product_edition_suffix(uint32_t 产品类型码) {
  for (const EditionRow& row : editions()) {
    if (std::find(row.codes.begin(), row.codes.end(), 产品类型码) != row.codes.end()) return row.suffix;
  }
  return {};
}
