#pragma once
// A child control on Windows: the system's button, drop-down combo box,
// list box and static label, with what the system does not keep for us
// (the handlers, the label's own bytes, the list rows' marks and tooltips).
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/control.h"

namespace platform::win32 {

class ControlImpl final : public Control {
 public:
  ControlImpl(HWND parent, const ControlOptions& options);
  ~ControlImpl() override;

  // The window's own (WM_COMMAND, WM_CTLCOLOR*, WM_DRAWITEM, its end).
  static ControlImpl* of(HWND control);
  void command(WORD code);
  void run_after_pick();
  LRESULT colours(HDC dc);
  void draw_row(const DRAWITEMSTRUCT& item);
  void forget_window();
  HWND hwnd() const { return hwnd_; }

  bool exists() const override;
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
  std::uintptr_t native_handle() const override { return reinterpret_cast<std::uintptr_t>(hwnd_); }
  void on_clicked(std::function<void()> handler) override { clicked_ = std::move(handler); }
  void on_item_chosen(std::function<void()> handler) override { chosen_ = std::move(handler); }

 private:
  struct Row {
    ItemMark mark = ItemMark::none;
    std::wstring tooltip;
  };
  static LRESULT CALLBACK list_messages(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  void follow_mouse(POINT at);

  ControlKind kind_;
  HWND hwnd_ = nullptr;
  HWND tooltip_ = nullptr;
  text::Text label_caption_;
  std::uint32_t background_;
  HBRUSH brush_ = nullptr;
  std::vector<Row> rows_;   // list box: one per row
  int tip_row_ = -1;        // the row whose tooltip is up
  bool pick_pending_ = false;
  std::function<void()> clicked_;
  std::function<void()> chosen_;
};

}  // namespace platform::win32
