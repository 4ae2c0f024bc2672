#pragma once
#include <QPointer>
#include <QWidget>
#include <functional>

#include "platform/control.h"

namespace platform {

// A control backed by one Qt widget.
class ControlImpl final : public Control {
 public:
  ControlImpl(QWidget* parent, const ControlOptions& options);

  QWidget* widget() const { return widget_; }

  bool exists() const override { return !widget_.isNull(); }
  ControlKind kind() const override { return kind_; }
  void show() override;
  bool visible() const override;
  bool enabled() const override;
  bool has_focus() const override;
  void set_caption(std::string_view gbk) override;
  text::Text caption() const override;
  void append_item(std::string_view gbk) override;
  int item_count() const override;
  text::Text item(int index) const override;
  void remove_all_items() override;
  void set_item_mark(int index, ItemMark mark, std::string_view tooltip_gbk) override;
  void clear_item_marks() override;
  int selected_position() const override;
  void set_selected_position(int position) override;
  int width() const override;
  int height() const override;
  std::uint32_t background_colour() const override { return background_; }
  void set_background_colour(std::uint32_t colour_bgr) override;
  std::uintptr_t native_handle() const override;
  void on_clicked(std::function<void()> handler) override;
  void on_item_chosen(std::function<void()> handler) override;

 private:
  ControlKind kind_;
  QPointer<QWidget> widget_;
  // A label gives back the exact bytes it was given; what it shows has
  // CR LF turned into Qt's line break.
  text::Text label_caption_;
  std::uint32_t background_;
};

// Applies a 0x00BBGGRR colour (or the button face) as a widget's background.
void paint_background(QWidget* w, std::uint32_t colour_bgr);

}  // namespace platform
