#pragma once
// A loaded window: the live window built from a definition, with its
// controls in definition order.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "ui/control.h"
#include "ui/midi_player.h"
#include "ui/window_definition.h"

namespace platform {
class Window;
}

namespace ui {

class 窗口 {
 public:
  窗口(const 窗口定义& definition, std::unique_ptr<platform::Window> native);
  ~窗口();
  窗口(const 窗口&) = delete;
  窗口& operator=(const 窗口&) = delete;

  const 窗口定义& 定义() const { return definition_; }
  bool 存在() const;

  // The control of this name; an absent control (all operations do nothing)
  // when there is none.
  控件& 取控件(std::string_view name);
  // The live controls in definition order.
  std::vector<控件*> 取控件列表();

  std::uint32_t 背景颜色() const;
  void 置背景颜色(std::uint32_t colour_bgr);
  bool 框架保持激活() const { return keep_frame_active_; }
  void 置框架保持激活(bool on);
  std::uintptr_t 取窗口句柄() const;
  // The paths of the drop being handled, in the order given.
  const std::vector<text::Text>& 取放下的文件() const;
  void 关闭();

  platform::Window& native() { return *native_; }
  std::vector<控件>& controls() { return controls_; }

  // Starts the definition's background music (when it has any); the music
  // stops when the window goes.
  void 播放背景音乐();

 private:
  const 窗口定义& definition_;
  std::unique_ptr<platform::Window> native_;
  std::vector<控件> controls_;
  bool keep_frame_active_ = false;
  MidiPlayer music_;
};

// A live control of a window with its kind name.
struct 组件项 {
  控件* 组件;
  text::Text 类型名;
};

// The window's live controls with their kinds, in definition order.
std::vector<组件项> 取窗口组件列表(窗口& window);

}  // namespace ui
