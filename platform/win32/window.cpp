#include "platform/window.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>

#include "platform/colour.h"
#include "platform/control.h"
#include "platform/win32/control_impl.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/window_messages.h"

namespace platform {

struct Window::Impl {
  HWND hwnd = nullptr;
  WindowStyle style;
  std::vector<std::unique_ptr<win32::ControlImpl>> controls;
  std::vector<win32::ControlImpl*> focus_chain;
  bool esc_closes = false;
  bool drag_to_move = false;
  bool keep_frame_active = false;
  std::uint32_t background = kButtonFace;
  HBRUSH background_brush = nullptr;
  std::function<void()> closing_handler;
  std::function<void()> destroyed_handler;
  std::function<void()> dropped_handler;
  std::vector<text::Text> dropped;
  Window* self = nullptr;
};

namespace {

constexpr wchar_t kWindowClass[] = L"BixiqinWindow";

std::vector<Window*>& registry() {
  static std::vector<Window*> windows;
  return windows;
}

Window::Impl* impl_of(HWND hwnd) { return reinterpret_cast<Window::Impl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA)); }

// A resource's name: a number, or a text that is valid only while the
// enumeration runs, so kept here.
struct ResourceName {
  const wchar_t* id = nullptr;
  std::wstring text;
  const wchar_t* get() const { return text.empty() ? id : text.c_str(); }
};

BOOL CALLBACK take_first_name(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR into) {
  auto* found = reinterpret_cast<ResourceName*>(into);
  if (IS_INTRESOURCE(name)) {
    found->id = name;
  } else {
    found->text = name;
  }
  return FALSE;
}

HICON program_icon(int size) {
  // The first icon of the program's resources, whatever its name.
  HMODULE module = GetModuleHandleW(nullptr);
  ResourceName found;
  EnumResourceNamesW(module, MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, take_first_name,
                     reinterpret_cast<LONG_PTR>(&found));
  if (found.get() == nullptr) return nullptr;
  return static_cast<HICON>(LoadImageW(module, found.get(), IMAGE_ICON, size, size, LR_SHARED));
}

std::vector<text::Text> dropped_paths_of(HDROP drop) {
  std::vector<text::Text> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
    // A name that no text of the program can hold is left out, as what is
    // not a local file is.
    if (auto gb18030 = win32::gb18030_from_wide(path)) paths.push_back(std::move(*gb18030));
  }
  return paths;
}

void forget(Window::Impl& impl) {
  for (auto& control : impl.controls) control->forget_window();
  impl.hwnd = nullptr;
  auto& all = registry();
  all.erase(std::remove(all.begin(), all.end(), impl.self), all.end());
}

LRESULT CALLBACK window_messages(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
  Window::Impl* impl = impl_of(hwnd);
  if (impl == nullptr) return DefWindowProcW(hwnd, message, w, l);
  switch (message) {
    case WM_CLOSE:
      // A window that takes no input (another window is modal) cannot be
      // closed by the user; otherwise nothing refuses a close.
      if (IsWindowEnabled(hwnd)) {
        if (impl->closing_handler) impl->closing_handler();
        if (impl->hwnd != nullptr) DestroyWindow(hwnd);
      }
      return 0;
    case WM_NCDESTROY: {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      forget(*impl);
      if (auto handler = std::move(impl->destroyed_handler)) handler();
      return DefWindowProcW(hwnd, message, w, l);
    }
    case WM_ERASEBKGND: {
      RECT r{};
      GetClientRect(hwnd, &r);
      HBRUSH brush = CreateSolidBrush(win32::system_colour(impl->background));
      FillRect(reinterpret_cast<HDC>(w), &r, brush);
      DeleteObject(brush);
      return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
      if (auto* control = win32::ControlImpl::of(reinterpret_cast<HWND>(l))) {
        return control->colours(reinterpret_cast<HDC>(w));
      }
      break;
    case WM_COMMAND:
      if (l != 0) {
        if (auto* control = win32::ControlImpl::of(reinterpret_cast<HWND>(l))) control->command(HIWORD(w));
        return 0;
      }
      break;
    case win32::kRunAfterPick:
      if (auto* control = win32::ControlImpl::of(reinterpret_cast<HWND>(l))) control->run_after_pick();
      return 0;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
      if (auto* control = win32::ControlImpl::of(item->hwndItem)) {
        control->draw_row(*item);
        return TRUE;
      }
      break;
    }
    case WM_LBUTTONDOWN:
      // A press on the background (or on a label, which lets it through)
      // moves the window as its title bar would: only while the button is
      // held and the mouse moves.
      if (impl->drag_to_move) {
        ReleaseCapture();
        SendMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
        return 0;
      }
      break;
    case WM_NCACTIVATE:
      // The title bar keeps its active look while another window is active.
      if (impl->keep_frame_active && IsWindowEnabled(hwnd) && w == FALSE) {
        return DefWindowProcW(hwnd, message, TRUE, l);
      }
      break;
    case WM_DROPFILES: {
      const HDROP drop = reinterpret_cast<HDROP>(w);
      std::vector<text::Text> paths = dropped_paths_of(drop);
      DragFinish(drop);
      if (paths.empty() || !impl->dropped_handler || !IsWindowEnabled(hwnd)) return 0;
      impl->dropped = std::move(paths);
      // The handler may close the window, and this object with it.
      const std::function<void()> handler = impl->dropped_handler;
      handler();
      if (impl_of(hwnd) == impl) impl->dropped.clear();
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, w, l);
}

void register_class() {
  static const bool registered = [] {
    WNDCLASSEXW c{};
    c.cbSize = sizeof c;
    c.lpfnWndProc = window_messages;
    c.hInstance = GetModuleHandleW(nullptr);
    c.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    c.lpszClassName = kWindowClass;
    return RegisterClassExW(&c) != 0;
  }();
  (void)registered;
}

// The window of `hwnd`, or of the control `hwnd` is in.
Window::Impl* window_of(HWND hwnd) {
  for (HWND at = hwnd; at != nullptr; at = GetParent(at)) {
    wchar_t name[32];
    if (GetClassNameW(at, name, 32) > 0 && std::wstring_view(name) == kWindowClass) return impl_of(at);
    if ((GetWindowLongW(at, GWL_STYLE) & WS_CHILD) == 0) break;
  }
  return nullptr;
}

void move_focus(Window::Impl& impl, bool next) {
  const int n = static_cast<int>(impl.focus_chain.size());
  if (n == 0) return;
  const HWND focus = GetFocus();
  int at = -1;
  for (int i = 0; i < n; ++i) {
    if (impl.focus_chain[i]->hwnd() == focus) at = i;
  }
  for (int step = 1; step <= n; ++step) {
    const int i = at < 0 ? (next ? step - 1 : n - step) : (at + (next ? step : -step) + n) % n;
    win32::ControlImpl* c = impl.focus_chain[i];
    if (c->exists() && c->visible() && c->enabled()) {
      SetFocus(c->hwnd());
      return;
    }
  }
}

}  // namespace

namespace win32 {

bool handle_window_keys(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  if (message.wParam != VK_TAB && message.wParam != VK_ESCAPE) return false;
  Window::Impl* impl = window_of(message.hwnd);
  if (impl == nullptr || impl->hwnd == nullptr) return false;
  // An open drop-down list takes Esc for itself.
  if (message.wParam == VK_ESCAPE) {
    const HWND focus = GetFocus();
    if (auto* control = ControlImpl::of(focus); control != nullptr && control->kind() == ControlKind::combo_box &&
                                                 SendMessageW(focus, CB_GETDROPPEDSTATE, 0, 0)) {
      return false;
    }
    if (!impl->esc_closes || (GetKeyState(VK_SHIFT) | GetKeyState(VK_CONTROL) | GetKeyState(VK_MENU)) < 0) return false;
    SendMessageW(impl->hwnd, WM_CLOSE, 0, 0);
    return true;
  }
  move_focus(*impl, GetKeyState(VK_SHIFT) >= 0);
  return true;
}

void deliver(const MSG& message) {
  if (handle_window_keys(message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

}  // namespace win32

std::unique_ptr<Window> Window::create_hidden(const WindowStyle& style) {
  register_class();
  auto impl = std::make_unique<Impl>();
  impl->style = style;
  DWORD s = WS_CAPTION | WS_CLIPCHILDREN;
  if (style.system_menu) s |= WS_SYSMENU;
  if (style.minimize_box) s |= WS_MINIMIZEBOX;
  if (style.maximize_box) s |= WS_MAXIMIZEBOX;
  if (!style.fixed_frame) s |= WS_THICKFRAME;
  DWORD ex = 0;
  if (!style.in_taskbar && !style.owned) ex |= WS_EX_TOOLWINDOW;
  if (style.always_on_top) ex |= WS_EX_TOPMOST;
  impl->hwnd = CreateWindowExW(ex, kWindowClass, L"", s, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  std::unique_ptr<Window> window(new Window(std::move(impl)));
  window->impl_->self = window.get();
  if (window->impl_->hwnd != nullptr) {
    SetWindowLongPtrW(window->impl_->hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window->impl_.get()));
    registry().push_back(window.get());
  }
  return window;
}

Window::Window(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Window::~Window() {
  impl_->destroyed_handler = nullptr;
  if (impl_->hwnd != nullptr) DestroyWindow(impl_->hwnd);
  auto& all = registry();
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
}

bool Window::exists() const { return impl_->hwnd != nullptr; }

// Names are for the tests of the Linux side, which find widgets by them.
void Window::set_object_name(std::string_view) {}

void Window::set_caption(std::string_view gbk) {
  if (impl_->hwnd != nullptr) SetWindowTextW(impl_->hwnd, win32::screen_text(gbk).c_str());
}

void Window::set_outer_rect(const Rect& r) {
  if (impl_->hwnd != nullptr)
    SetWindowPos(impl_->hwnd, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

Rect Window::outer_rect() const {
  RECT r{};
  if (impl_->hwnd == nullptr || !GetWindowRect(impl_->hwnd, &r)) return {};
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

Rect Window::client_rect() const {
  RECT r{};
  if (impl_->hwnd == nullptr || !GetClientRect(impl_->hwnd, &r)) return {};
  POINT origin{0, 0};
  ClientToScreen(impl_->hwnd, &origin);
  return {origin.x, origin.y, r.right, r.bottom};
}

void Window::set_program_icon() {
  if (impl_->hwnd == nullptr) return;
  if (HICON big = program_icon(GetSystemMetrics(SM_CXICON)))
    SendMessageW(impl_->hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  if (HICON small = program_icon(GetSystemMetrics(SM_CXSMICON)))
    SendMessageW(impl_->hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void Window::set_default_font() {
  if (impl_->hwnd != nullptr)
    SendMessageW(impl_->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(win32::default_font()), FALSE);
}

Control& Window::create_control(const ControlOptions& options) {
  impl_->controls.push_back(std::make_unique<win32::ControlImpl>(impl_->hwnd, options));
  return *impl_->controls.back();
}

void Window::restack(const std::vector<Control*>& top_first) {
  // Each one placed on top from the last up leaves the first one on top.
  for (auto it = top_first.rbegin(); it != top_first.rend(); ++it) {
    if (auto* c = static_cast<win32::ControlImpl*>(*it); c->exists())
      SetWindowPos(c->hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void Window::set_focus_chain(const std::vector<Control*>& chain) {
  impl_->focus_chain.clear();
  for (Control* c : chain) impl_->focus_chain.push_back(static_cast<win32::ControlImpl*>(c));
}

void Window::set_esc_closes(bool on) { impl_->esc_closes = on; }
void Window::set_drag_to_move(bool on) { impl_->drag_to_move = on; }

void Window::set_owner(const Window& owner) {
  // The owner of a top-level window is kept in its parent slot.
  if (impl_->hwnd != nullptr && owner.impl_->hwnd != nullptr)
    SetWindowLongPtrW(impl_->hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner.impl_->hwnd));
}

void Window::show_and_activate() {
  if (impl_->hwnd == nullptr) return;
  ShowWindow(impl_->hwnd, SW_SHOW);
  SetForegroundWindow(impl_->hwnd);
  SetActiveWindow(impl_->hwnd);
}

bool Window::visible() const { return impl_->hwnd != nullptr && IsWindowVisible(impl_->hwnd); }
bool Window::active() const { return impl_->hwnd != nullptr && GetActiveWindow() == impl_->hwnd; }

void Window::bring_to_front() {
  if (impl_->hwnd == nullptr) return;
  if (IsIconic(impl_->hwnd)) ShowWindow(impl_->hwnd, SW_RESTORE);
  SetWindowPos(impl_->hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(impl_->hwnd);
}

void Window::request_close() {
  if (impl_->hwnd != nullptr) SendMessageW(impl_->hwnd, WM_CLOSE, 0, 0);
}

// A disabled window: the system then brings its enabled owned window
// forward when it is clicked, and refuses its close box.
void Window::set_accepts_input(bool on) {
  if (impl_->hwnd != nullptr) EnableWindow(impl_->hwnd, on ? TRUE : FALSE);
}

bool Window::accepts_input() const { return impl_->hwnd != nullptr && IsWindowEnabled(impl_->hwnd); }

std::uint32_t Window::background_colour() const { return impl_->background; }

void Window::set_background_colour(std::uint32_t colour_bgr) {
  impl_->background = colour_bgr;
  if (impl_->hwnd != nullptr) InvalidateRect(impl_->hwnd, nullptr, TRUE);
}

std::uintptr_t Window::native_handle() const { return reinterpret_cast<std::uintptr_t>(impl_->hwnd); }

void Window::set_keep_frame_active(bool on) {
  impl_->keep_frame_active = on;
  if (impl_->hwnd != nullptr) SendMessageW(impl_->hwnd, WM_NCACTIVATE, on || active() ? TRUE : FALSE, 0);
}

void Window::on_files_dropped(std::function<void()> handler) {
  impl_->dropped_handler = std::move(handler);
  if (impl_->hwnd != nullptr) DragAcceptFiles(impl_->hwnd, impl_->dropped_handler ? TRUE : FALSE);
}

const std::vector<text::Text>& Window::dropped_paths() const { return impl_->dropped; }

void Window::on_closing(std::function<void()> handler) { impl_->closing_handler = std::move(handler); }
void Window::on_destroyed(std::function<void()> handler) { impl_->destroyed_handler = std::move(handler); }

void Window::run_loop_until_destroyed() {
  const HWND hwnd = impl_->hwnd;
  if (hwnd == nullptr) return;
  // Only the handle is looked at: the destroyed handler may delete this
  // object meanwhile.
  MSG message{};
  while (IsWindow(hwnd)) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      // The program is ending: the outer loop takes the request.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (got < 0) return;
    win32::deliver(message);
  }
}

std::vector<Window*> open_windows() { return registry(); }

}  // namespace platform
