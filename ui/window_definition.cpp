#include "ui/window_definition.h"

#include "text/gbk_literal.h"

namespace ui {

text::Text 类型名称(控件类型 kind) {
  switch (kind) {
    case 控件类型::按钮: return "按钮"_gbk;
    case 控件类型::编辑框: return "编辑框"_gbk;
    case 控件类型::外形框: return "外形框"_gbk;
    case 控件类型::分组框: return "分组框"_gbk;
    case 控件类型::单选框: return "单选框"_gbk;
    case 控件类型::标签: return "标签"_gbk;
    case 控件类型::图片框: return "图片框"_gbk;
    case 控件类型::选择框: return "选择框"_gbk;
    case 控件类型::选择夹: return "选择夹"_gbk;
    case 控件类型::组合框: return "组合框"_gbk;
    case 控件类型::列表框: return "列表框"_gbk;
  }
  return {};
}

}  // namespace ui
