#pragma once
// A top-level window and its child controls, as the window layer asks for
// them. The window layer decides what to create; this only translates.
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "text/text.h"

namespace platform {

class Control;

struct WindowStyle {
  bool fixed_frame = true;
  bool system_menu = true;
  bool minimize_box = true;
  bool maximize_box = false;
  bool in_taskbar = true;
  bool always_on_top = false;
  // Stands above an owner window (see Window::set_owner).
  bool owned = false;
};

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

enum class ControlKind { button, combo_box, list_box, label, other };

enum class LabelLayout { centred_line, wrapped_from_top_left };

struct ControlOptions {
  ControlKind kind = ControlKind::other;
  Rect rect;
  bool focusable = true;
  bool disabled = false;
  std::string_view caption;               // GBK bytes
  std::vector<std::string_view> items;    // combo box items, GBK bytes
  int selected = -1;                      // combo box item selected at load
  LabelLayout label_layout = LabelLayout::centred_line;
  std::string_view object_name;           // UTF-8, for finding the control
};

class Window {
 public:
  // Creates the window hidden; its outer size is set by set_outer_rect.
  static std::unique_ptr<Window> create_hidden(const WindowStyle& style);
  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  bool exists() const;
  void set_object_name(std::string_view utf8);
  void set_caption(std::string_view gbk);
  // Outer rectangle (frame and title bar included).
  void set_outer_rect(const Rect& r);
  Rect outer_rect() const;
  Rect client_rect() const;
  void set_program_icon();
  void set_default_font();

  // Creates a control as a hidden child; the window owns it.
  Control& create_control(const ControlOptions& options);
  // Stacking follows this order, the first on top.
  void restack(const std::vector<Control*>& top_first);
  // Tab / Shift+Tab walk this list (skipping hidden or disabled controls).
  void set_focus_chain(const std::vector<Control*>& chain);
  void set_esc_closes(bool on);
  // A press on the background or on a passive control moves the window.
  void set_drag_to_move(bool on);

  // For a window created owned, before it is shown: it stays above `owner`
  // and is not listed on its own in the task bar. While the owner takes no
  // input, activating or clicking the owner brings this window to the front
  // and gives it the focus instead, as with a disabled window's popup.
  void set_owner(const Window& owner);

  void show_and_activate();
  bool visible() const;
  bool active() const;
  void bring_to_front();
  // Sends the close request, as the close box does.
  void request_close();

  // Input: a window that does not accept input keeps painting as usual.
  void set_accepts_input(bool on);
  bool accepts_input() const;

  std::uint32_t background_colour() const;
  void set_background_colour(std::uint32_t colour_bgr);
  std::uintptr_t native_handle() const;
  // While on, the window's content keeps its active look when another window
  // is activated, as long as the window takes input.
  void set_keep_frame_active(bool on);

  // Called for each drop of local files or folders on the window while it
  // takes input; dropped_paths() gives that drop's paths, in the order given,
  // while the handler runs. Whatever is not a local file is left out.
  void on_files_dropped(std::function<void()> handler);
  const std::vector<text::Text>& dropped_paths() const;

  // Called when a close request has been accepted, before the window goes.
  void on_closing(std::function<void()> handler);
  // Called once, when the window has been destroyed.
  void on_destroyed(std::function<void()> handler);
  // Serves every window of the program in a nested loop until this window
  // has been destroyed. The destroyed handler may delete this object meanwhile:
  // nothing of it is touched after the loop ends.
  void run_loop_until_destroyed();

  struct Impl;

 private:
  explicit Window(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// All top-level windows of the program that still exist.
std::vector<Window*> open_windows();

}  // namespace platform
