#pragma once
// A child control of a window. Every operation is harmless once the control
// has been destroyed with its window.
#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/window.h"
#include "text/text.h"

namespace platform {

// How a list box row stands out: not at all, as a file that failed, or as
// one that converted but deserves a second look.
enum class ItemMark { none, failed, warning };

class Control {
 public:
  virtual ~Control() = default;

  virtual bool exists() const = 0;
  virtual ControlKind kind() const = 0;
  virtual void show() = 0;
  virtual bool visible() const = 0;
  virtual bool enabled() const = 0;
  virtual bool has_focus() const = 0;

  virtual void set_caption(std::string_view gbk) = 0;
  virtual text::Text caption() const = 0;

  // List box and combo box items.
  virtual void append_item(std::string_view gbk) = 0;
  virtual int item_count() const = 0;
  virtual text::Text item(int index) const = 0;
  virtual void remove_all_items() = 0;
  // List box rows: the row's mark and its tooltip (program text, CR LF
  // starts a new line; empty for none). The row's text stays as it is.
  virtual void set_item_mark(int index, ItemMark mark, std::string_view tooltip_gbk) = 0;
  // Every row back to no mark and no tooltip.
  virtual void clear_item_marks() = 0;
  // Combo box: selected position from 0, -1 when none.
  virtual int selected_position() const = 0;
  virtual void set_selected_position(int position) = 0;

  virtual int width() const = 0;
  virtual int height() const = 0;
  virtual std::uint32_t background_colour() const = 0;
  virtual void set_background_colour(std::uint32_t colour_bgr) = 0;
  virtual std::uintptr_t native_handle() const = 0;

  // Clicked (buttons) and item chosen (combo boxes; delivered after the pick).
  virtual void on_clicked(std::function<void()> handler) = 0;
  virtual void on_item_chosen(std::function<void()> handler) = 0;
};

}  // namespace platform
