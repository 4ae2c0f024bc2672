#pragma once
// Windows as data: a window definition is a constant that the loader turns
// into a real window. Texts are GBK-family bytes.
#include <cstdint>
#include <span>
#include <vector>

#include "platform/colour.h"
#include "text/text.h"

namespace ui {

// Handlers take no arguments and reach what they need directly.
using Handler = void (*)();

enum class 控件类型 { 按钮, 编辑框, 外形框, 分组框, 单选框, 标签, 图片框, 选择框, 选择夹, 组合框, 列表框 };

struct 矩形;
struct 控件定义;

// The kind name that handlers compare ("按钮", "标签", ...).
text::Text 类型名称(控件类型 kind);

struct 矩形 {
  int 左边 = 0;
  int 顶边 = 0;
  int 宽度 = 0;
  int 高度 = 0;
};

enum class 标签布局 { 居中单行, 左上换行 };

struct 控件定义 {
  const char* 名称 = "";  // the control's name in the code, as UTF-8
  控件类型 类型 = 控件类型::按钮;
  std::uint32_t 标识 = 0;
  矩形 位置;
  bool 可视 = true;
  bool 禁止 = false;
  bool 可停留焦点 = true;
  text::Text 标题;
  std::vector<text::Text> 列表项目;  // combo box items
  int 现行选中项 = -1;
  标签布局 布局 = 标签布局::居中单行;
  Handler 被单击 = nullptr;
  Handler 列表项被选择 = nullptr;
};

struct 窗口定义 {
  const char* 名称 = "";
  std::uint32_t 标识 = 0;
  text::Text 标题;
  矩形 位置;  // outer size; left and top are not used when centred
  bool 屏幕居中 = true;
  bool 固定边框 = true;
  bool 控制按钮 = true;
  bool 最小化按钮 = true;
  bool 最大化按钮 = false;
  bool 可移动 = true;
  std::uint32_t 背景颜色 = platform::kButtonFace;
  bool 有图标 = true;
  // Background music and how often it plays (0 repeat, 1 once, 2 never).
  std::span<const unsigned char> 背景音乐;
  int 播放次数 = 1;
  bool Esc键关闭 = true;
  bool 回车下移焦点 = false;
  bool 随意移动 = false;
  bool 在任务条中显示 = true;
  bool 总在最前 = false;
  bool 框架保持激活 = false;
  bool 可视 = true;
  std::vector<控件定义> 控件;
  Handler 创建完毕 = nullptr;
  // Files dropped on the window; the handler reads them from the window.
  Handler 文件被放下 = nullptr;
};

// Definitions of the kinds the program's windows use.
控件定义 按钮定义(const char* name, std::uint32_t id, 矩形 rect, text::Text caption, Handler clicked);
控件定义 组合框定义(const char* name, std::uint32_t id, 矩形 rect, std::vector<text::Text> items,
                    int selected, Handler chosen);
控件定义 标签定义(const char* name, std::uint32_t id, 矩形 rect, text::Text caption,
                  标签布局 layout = 标签布局::居中单行);
控件定义 列表框定义(const char* name, std::uint32_t id, 矩形 rect);

}  // namespace ui
