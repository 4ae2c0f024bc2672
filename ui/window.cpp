#include "ui/window.h"

#include "platform/control.h"
#include "platform/window.h"

namespace ui {

窗口::窗口(const 窗口定义& definition, std::unique_ptr<platform::Window> native)
    : definition_(definition), native_(std::move(native)) {}

窗口::~窗口() = default;

bool 窗口::存在() const { return native_ && native_->exists(); }

控件& 窗口::取控件(std::string_view name) {
  for (auto& c : controls_) {
    if (c.名称() == name) return c;
  }
  static 控件 absent;
  return absent;
}

std::vector<控件*> 窗口::取控件列表() {
  std::vector<控件*> live;
  for (auto& c : controls_) {
    if (c.存在()) live.push_back(&c);
  }
  return live;
}

std::uint32_t 窗口::背景颜色() const { return native_->background_colour(); }
void 窗口::置背景颜色(std::uint32_t colour_bgr) { native_->set_background_colour(colour_bgr); }
void 窗口::置框架保持激活(bool on) {
  keep_frame_active_ = on;
  native_->set_keep_frame_active(on);
}
std::uintptr_t 窗口::取窗口句柄() const { return native_->native_handle(); }
const std::vector<text::Text>& 窗口::取放下的文件() const { return native_->dropped_paths(); }
void 窗口::关闭() { native_->request_close(); }

void 窗口::播放背景音乐() {
  if (!definition_.背景音乐.empty()) music_.start(definition_.背景音乐, definition_.播放次数);
}

std::vector<组件项> 取窗口组件列表(窗口& window) {
  std::vector<组件项> list;
  for (控件* c : window.取控件列表()) list.push_back({c, c->类型名()});
  return list;
}

}  // namespace ui
