#pragma once
// The main window: its definition and its controls by name.
#include <cstdint>

#include "ui/control.h"
#include "ui/window.h"
#include "ui/window_definition.h"

namespace ui {

constexpr std::uint32_t kMainWindowId = 0x52010001;

const 窗口定义& 主窗口定义();

// The loaded main window, or null before loading and after it has gone.
窗口* 主窗口();

// Its controls; absent controls (doing nothing) when the window is not loaded.
namespace 主窗口控件 {
控件& 按钮_选择1();
控件& 组合框_原编码();
控件& 按钮_转换();
控件& 组合框_现编码();
控件& 按钮2();
控件& 标签_现信息();
控件& 标签_原信息();
控件& 列表框_现在();
控件& 列表框_原始();
控件& 按钮_选择();
}  // namespace 主窗口控件

}  // namespace ui
