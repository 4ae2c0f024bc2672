#pragma once
// A control of a loaded window, addressed by its window and its name. Every
// operation does nothing once the window has gone.
#include <cstdint>
#include <string_view>

#include "platform/control.h"
#include "text/text.h"
#include "ui/window_definition.h"

namespace ui {

class 控件 {
 public:
  控件() = default;
  控件(const 控件定义* definition, platform::Control* native)
      : definition_(definition), native_(native) {}

  bool 存在() const;
  std::string_view 名称() const { return definition_ ? definition_->名称 : ""; }
  控件类型 类型() const { return definition_ ? definition_->类型 : 控件类型::外形框; }
  text::Text 类型名() const { return 类型名称(类型()); }
  std::uint32_t 标识() const { return definition_ ? definition_->标识 : 0; }
  const 控件定义* 定义() const { return definition_; }

  text::Text 标题() const;
  void 置标题(std::string_view gbk);

  // List boxes (and combo boxes).
  void 加入项目(std::string_view gbk);
  int 取项目数() const;
  text::Text 取项目文本(int index) const;
  void 清空();
  // List boxes: a row's mark and tooltip (empty for none), row from 0; the
  // row's text stays. They go with the row, or all at once.
  void mark_item(int index, platform::ItemMark mark, std::string_view tooltip_gbk);
  void clear_item_marks();
  // Combo boxes: position of the selected item from 0, -1 when none.
  int 现行选中项() const;
  void 置现行选中项(int position);

  int 宽度() const;
  int 高度() const;
  bool 可视() const;
  bool 有焦点() const;
  std::uint32_t 背景颜色() const;
  void 置背景颜色(std::uint32_t colour_bgr);
  std::uintptr_t 取窗口句柄() const;

  platform::Control* native() const { return native_; }

 private:
  const 控件定义* definition_ = nullptr;
  platform::Control* native_ = nullptr;
};

}  // namespace ui
