// The glass look of a window and the treatment of its controls by kind.
#include "effects/window_effects.h"
#include "platform/composition.h"
#include "platform/window_shape.h"
#include "text/gbk_literal.h"
#include "ui/control.h"
#include "ui/window.h"

void 窗口特效::玻璃化窗口(ui::窗口& 窗口, bool 按钮, bool 编辑框, bool 外形框, bool 分组框, bool 单选框,
                          bool 标签, bool 图片框, bool 选择夹, bool 选择框) {
  MARGINS 边距{};
  窗口.置背景颜色(玻璃底色);
  窗口.置框架保持激活(true);
  const std::uintptr_t 句柄 = 窗口.取窗口句柄();
  边距 = {-1, -1, -1, -1};

  // The flag stays false when the question cannot be asked.
  bool 合成已开启 = false;
  platform::query_composition(&合成已开启);
  if (!合成已开启) return;

  // Exactly layered: the window's earlier extended style is not kept.
  platform::set_extended_style(句柄, platform::kLayeredStyle);
  platform::set_colour_key(句柄, 窗口.背景颜色());
  platform::extend_glass_frame(
      句柄, {边距.cxLeftWidth, 边距.cxRightWidth, 边距.cyTopHeight, 边距.cyBottomHeight});

  if (按钮) 处理按钮(窗口);
  if (编辑框) 处理编辑框(窗口);
  if (外形框) 处理外形框(窗口);
  if (分组框) 处理分组框(窗口);
  if (单选框) 处理单选框(窗口);
  if (标签) 处理标签(窗口);
  if (图片框) 处理图片框(窗口);
  if (选择夹) 处理选择夹(窗口);
  if (选择框) 处理选择框(窗口);
}

namespace {

// The region is made from the size at this moment and handed to the
// control; the window system keeps its own copy, so the handle goes.
void clip_to_round_rect(ui::控件& 控件) {
  const int w = 控件.宽度();
  const int h = 控件.高度();
  const platform::RegionHandle 区域 = platform::create_round_rect_region(1, 1, w, h, 2, 2);
  platform::set_control_region(控件.取窗口句柄(), 区域, true);
  platform::delete_region(区域);
}

}  // namespace

void 窗口特效::圆角按钮(ui::控件& 控件) { clip_to_round_rect(控件); }
void 窗口特效::圆角编辑框(ui::控件& 控件) { clip_to_round_rect(控件); }

template <typename Treatment>
void 窗口特效::处理种类(ui::窗口& 窗口, const text::Text& 类型名, Treatment treat) {
  const std::vector<ui::组件项> 列表 = ui::取窗口组件列表(窗口);
  for (const ui::组件项& 项 : 列表) {
    if (项.类型名 == 类型名) treat(*项.组件);
  }
}

void 窗口特效::置玻璃底色(ui::窗口& 窗口, const text::Text& 类型名) {
  处理种类(窗口, 类型名, [](ui::控件& c) { c.置背景颜色(玻璃底色); });
}

void 窗口特效::处理按钮(ui::窗口& 窗口) {
  处理种类(窗口, "按钮"_gbk, [this](ui::控件& c) { 圆角按钮(c); });
}
void 窗口特效::处理编辑框(ui::窗口& 窗口) {
  处理种类(窗口, "编辑框"_gbk, [this](ui::控件& c) { 圆角编辑框(c); });
}
void 窗口特效::处理外形框(ui::窗口& 窗口) { 置玻璃底色(窗口, "外形框"_gbk); }
void 窗口特效::处理分组框(ui::窗口& 窗口) { 置玻璃底色(窗口, "分组框"_gbk); }
void 窗口特效::处理单选框(ui::窗口& 窗口) { 置玻璃底色(窗口, "单选框"_gbk); }
void 窗口特效::处理标签(ui::窗口& 窗口) { 置玻璃底色(窗口, "标签"_gbk); }
void 窗口特效::处理图片框(ui::窗口& 窗口) { 置玻璃底色(窗口, "图片框"_gbk); }
void 窗口特效::处理选择框(ui::窗口& 窗口) { 置玻璃底色(窗口, "选择框"_gbk); }
void 窗口特效::处理选择夹(ui::窗口& 窗口) { 置玻璃底色(窗口, "选择夹"_gbk); }
