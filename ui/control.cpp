#include "ui/control.h"

#include "platform/control.h"

namespace ui {

bool 控件::存在() const { return native_ != nullptr && native_->exists(); }
text::Text 控件::标题() const { return 存在() ? native_->caption() : text::Text(); }
void 控件::置标题(std::string_view gbk) {
  if (存在()) native_->set_caption(gbk);
}
void 控件::加入项目(std::string_view gbk) {
  if (存在()) native_->append_item(gbk);
}
int 控件::取项目数() const { return 存在() ? native_->item_count() : 0; }
text::Text 控件::取项目文本(int index) const { return 存在() ? native_->item(index) : text::Text(); }
void 控件::清空() {
  if (存在()) native_->remove_all_items();
}
void 控件::mark_item(int index, platform::ItemMark mark, std::string_view tooltip_gbk) {
  if (存在()) native_->set_item_mark(index, mark, tooltip_gbk);
}
void 控件::clear_item_marks() {
  if (存在()) native_->clear_item_marks();
}
int 控件::现行选中项() const { return 存在() ? native_->selected_position() : -1; }
void 控件::置现行选中项(int position) {
  if (存在()) native_->set_selected_position(position);
}
int 控件::宽度() const { return 存在() ? native_->width() : 0; }
int 控件::高度() const { return 存在() ? native_->height() : 0; }
bool 控件::可视() const { return 存在() && native_->visible(); }
bool 控件::有焦点() const { return 存在() && native_->has_focus(); }
std::uint32_t 控件::背景颜色() const { return 存在() ? native_->background_colour() : 0; }
void 控件::置背景颜色(std::uint32_t colour_bgr) {
  if (存在()) native_->set_background_colour(colour_bgr);
}
std::uintptr_t 控件::取窗口句柄() const { return 存在() ? native_->native_handle() : 0; }

}  // namespace ui
