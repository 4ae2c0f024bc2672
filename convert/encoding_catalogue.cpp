#include "convert/encoding_catalogue.h"

#include "app/program_values.h"
#include "text/gbk_literal.h"
#include "ui/main_window.h"

namespace {
// A position outside the catalogue (none selected included) keeps the value.
void take_selection(const ui::控件& combo, text::Text& value) {
  if (auto name = 编码名称(combo.现行选中项())) value = std::move(*name);
}
}  // namespace

void 组合框_原编码_列表项被选择() { take_selection(ui::主窗口控件::组合框_原编码(), 原编码名); }

void 组合框_现编码_列表项被选择() { take_selection(ui::主窗口控件::组合框_现编码(), 现编码名); }
