#include "ui/loader.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "platform/application.h"
#include "platform/control.h"
#include "platform/window.h"

namespace ui {
namespace {

// The windows of the program that are alive, as the window system would
// know them; a window leaves this list when it is destroyed.
std::vector<std::unique_ptr<窗口>>& loaded() {
  static std::vector<std::unique_ptr<窗口>> windows;
  return windows;
}

platform::ControlKind platform_kind(控件类型 kind) {
  switch (kind) {
    case 控件类型::按钮: return platform::ControlKind::button;
    case 控件类型::组合框: return platform::ControlKind::combo_box;
    case 控件类型::列表框: return platform::ControlKind::list_box;
    case 控件类型::标签: return platform::ControlKind::label;
    default: return platform::ControlKind::other;
  }
}

// A window that has gone is forgotten; when it was the last one, the
// message loop is told to end.
void forget(窗口* gone) {
  auto& all = loaded();
  auto it = std::find_if(all.begin(), all.end(), [gone](const auto& w) { return w.get() == gone; });
  if (it == all.end()) return;
  std::unique_ptr<窗口> keep = std::move(*it);
  all.erase(it);
  if (all.empty()) platform::quit_message_loop(0);
}

void create_controls(窗口& window) {
  const auto& defs = window.定义().控件;
  std::vector<控件>& controls = window.controls();
  controls.resize(defs.size());
  // Created from the last to the first, as hidden children.
  for (std::size_t i = defs.size(); i-- > 0;) {
    const 控件定义& d = defs[i];
    platform::ControlOptions o;
    o.kind = platform_kind(d.类型);
    o.rect = {d.位置.左边, d.位置.顶边, d.位置.宽度, d.位置.高度};
    o.focusable = d.可停留焦点;
    o.disabled = d.禁止;
    o.caption = d.标题;
    for (const auto& item : d.列表项目) o.items.emplace_back(item);
    o.selected = d.现行选中项;
    o.label_layout = d.布局 == 标签布局::居中单行 ? platform::LabelLayout::centred_line
                                                  : platform::LabelLayout::wrapped_from_top_left;
    o.object_name = d.名称;
    platform::Control& native = window.native().create_control(o);
    if (d.被单击 != nullptr) native.on_clicked(d.被单击);
    if (d.列表项被选择 != nullptr) native.on_item_chosen(d.列表项被选择);
    controls[i] = 控件(&d, &native);
  }
  std::vector<platform::Control*> top_first;
  std::vector<platform::Control*> focus_chain;
  for (auto& c : controls) top_first.push_back(c.native());
  window.native().restack(top_first);
  // Tab walks the focusable controls in the reverse of definition order.
  for (std::size_t i = defs.size(); i-- > 0;) {
    if (defs[i].可停留焦点) focus_chain.push_back(controls[i].native());
  }
  window.native().set_focus_chain(focus_chain);
  for (std::size_t i = 0; i < defs.size(); ++i) {
    if (defs[i].可视) controls[i].native()->show();
  }
}

struct RememberedState {
  platform::Window* window;
  bool accepted_input;
};

}  // namespace

窗口* 取已载入窗口(std::uint32_t identifier) {
  for (auto& w : loaded()) {
    if (w->定义().标识 == identifier && w->存在()) return w.get();
  }
  return nullptr;
}

窗口* 载入窗口(const 窗口定义& d, bool modal) {
  if (窗口* open = 取已载入窗口(d.标识)) {
    open->native().bring_to_front();
    return open;
  }

  platform::WindowStyle style;
  style.fixed_frame = d.固定边框;
  style.system_menu = d.控制按钮;
  style.minimize_box = d.最小化按钮;
  style.maximize_box = d.最大化按钮;
  style.in_taskbar = d.在任务条中显示;
  style.always_on_top = d.总在最前;
  style.owned = modal;
  std::unique_ptr<platform::Window> native = platform::Window::create_hidden(style);
  if (!native || !native->exists()) return nullptr;
  native->set_object_name(d.名称);
  native->set_caption(d.标题);

  platform::Rect outer{d.位置.左边, d.位置.顶边, d.位置.宽度, d.位置.高度};
  if (d.屏幕居中) {
    const platform::ScreenSize screen = platform::primary_screen_size();
    outer.left = (screen.width - d.位置.宽度) / 2;
    outer.top = (screen.height - d.位置.高度) / 2;
  }
  native->set_outer_rect(outer);
  native->set_program_icon();
  native->set_default_font();
  native->set_background_colour(d.背景颜色);
  native->set_esc_closes(d.Esc键关闭);
  native->set_drag_to_move(d.随意移动);
  if (d.文件被放下 != nullptr) native->on_files_dropped(d.文件被放下);
  // A modal window stands above the window it was opened from: the active
  // one, or else the first that takes input.
  if (modal) {
    platform::Window* opener = nullptr;
    for (platform::Window* other : platform::open_windows()) {
      if (!other->visible() || !other->accepts_input()) continue;
      if (other->active()) {
        opener = other;
        break;
      }
      if (opener == nullptr) opener = other;
    }
    if (opener != nullptr) native->set_owner(*opener);
  }

  loaded().push_back(std::make_unique<窗口>(d, std::move(native)));
  窗口* window = loaded().back().get();
  window->置框架保持激活(d.框架保持激活);
  window->native().on_destroyed([window] { forget(window); });

  window->播放背景音乐();
  create_controls(*window);

  if (d.创建完毕 != nullptr) d.创建完毕();
  // The loaded window may have been closed by its own created handler.
  window = 取已载入窗口(d.标识);
  if (window == nullptr) return nullptr;
  if (d.可视) window->native().show_and_activate();
  if (!modal) return window;

  // Modal: the program's other windows take no input until this one goes,
  // but keep painting; each gets back the state it had.
  std::vector<RememberedState> remembered;
  for (platform::Window* other : platform::open_windows()) {
    if (other == &window->native()) continue;
    remembered.push_back({other, other->accepts_input()});
    other->set_accepts_input(false);
  }
  window->native().on_closing([remembered] {
    const auto still_open = platform::open_windows();
    for (const auto& r : remembered) {
      if (std::find(still_open.begin(), still_open.end(), r.window) != still_open.end()) {
        r.window->set_accepts_input(r.accepted_input);
      }
    }
  });
  // The window (and with it `window`) is gone when this returns.
  window->native().run_loop_until_destroyed();
  return nullptr;
}

}  // namespace ui
