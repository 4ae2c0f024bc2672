#pragma once
// 窗口特效: the program's one class. It holds nothing; its operations give
// windows the glass look and tell Vista and 7 apart from other systems.
#include <cstdint>

#include "platform/version_record.h"
#include "text/text.h"

namespace ui {
class 窗口;
class 控件;
}  // namespace ui

// The glass key colour (red 227, green 237, blue 246): window background,
// background of the static controls, and the transparency key.
inline constexpr std::uint32_t 玻璃底色 = 0x00F6EDE3;

// Widths of the glass frame; -1 everywhere makes the whole window glass.
struct MARGINS {
  std::int32_t cxLeftWidth = 0;
  std::int32_t cxRightWidth = 0;
  std::int32_t cyTopHeight = 0;
  std::int32_t cyBottomHeight = 0;
};

class 窗口特效 {
 public:
  窗口特效() = default;
  virtual ~窗口特效();
  窗口特效(const 窗口特效&) = default;
  窗口特效& operator=(const 窗口特效&) = default;

  // True when the running system's version text is that of Vista or 7.
  bool 是否为Win7或Vista() const;

  // The same test for a given record.
  static bool 是否为Win7或Vista(const platform::OSVERSIONINFOEXA& 记录);

  // Key-colour background and an active-looking frame always; with desktop
  // composition also the layered style, the colour key, glass over the whole
  // window and the treatment of each control kind whose switch is true.
  void 玻璃化窗口(ui::窗口& 窗口, bool 按钮, bool 编辑框, bool 外形框, bool 分组框, bool 单选框,
                  bool 标签, bool 图片框, bool 选择夹, bool 选择框);

  // Clip the control to a slightly rounded rectangle of its present size.
  void 圆角按钮(ui::控件& 控件);
  void 圆角编辑框(ui::控件& 控件);

  // Each treats every control of its kind on the window.
  void 处理按钮(ui::窗口& 窗口);
  void 处理编辑框(ui::窗口& 窗口);
  void 处理外形框(ui::窗口& 窗口);
  void 处理分组框(ui::窗口& 窗口);
  void 处理单选框(ui::窗口& 窗口);
  void 处理标签(ui::窗口& 窗口);
  void 处理图片框(ui::窗口& 窗口);
  void 处理选择框(ui::窗口& 窗口);
  void 处理选择夹(ui::窗口& 窗口);

 private:
  template <typename Treatment>
  void 处理种类(ui::窗口& 窗口, const text::Text& 类型名, Treatment treat);
  void 置玻璃底色(ui::窗口& 窗口, const text::Text& 类型名);
};
