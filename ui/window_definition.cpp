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

namespace {
控件定义 control(const char* name, 控件类型 kind, std::uint32_t id, 矩形 rect) {
  控件定义 c;
  c.名称 = name;
  c.类型 = kind;
  c.标识 = id;
  c.位置 = rect;
  return c;
}
}  // namespace

控件定义 按钮定义(const char* name, std::uint32_t id, 矩形 rect, text::Text caption, Handler clicked) {
  控件定义 c = control(name, 控件类型::按钮, id, rect);
  c.标题 = std::move(caption);
  c.被单击 = clicked;
  return c;
}

控件定义 组合框定义(const char* name, std::uint32_t id, 矩形 rect, std::vector<text::Text> items,
                    int selected, Handler chosen) {
  控件定义 c = control(name, 控件类型::组合框, id, rect);
  c.列表项目 = std::move(items);
  c.现行选中项 = selected;
  c.列表项被选择 = chosen;
  return c;
}

控件定义 标签定义(const char* name, std::uint32_t id, 矩形 rect, text::Text caption, 标签布局 layout) {
  控件定义 c = control(name, 控件类型::标签, id, rect);
  c.标题 = std::move(caption);
  c.可停留焦点 = false;  // labels never take the focus
  c.布局 = layout;
  return c;
}

控件定义 列表框定义(const char* name, std::uint32_t id, 矩形 rect) {
  return control(name, 控件类型::列表框, id, rect);
}

}  // namespace ui
