#include "platform/win32/control_impl.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "platform/colour.h"
#include "platform/win32/window_messages.h"

namespace platform::win32 {
namespace {

// Marked rows: a light tint over the whole row and a bar of the mark's own
// colour at its start, as on Linux.
struct MarkLook {
  COLORREF tint;
  COLORREF bar;
};
const MarkLook* look_of(ItemMark mark) {
  static const MarkLook failed{RGB(251, 227, 227), RGB(192, 57, 43)};
  static const MarkLook warning{RGB(253, 241, 214), RGB(214, 137, 16)};
  switch (mark) {
    case ItemMark::failed:
      return &failed;
    case ItemMark::warning:
      return &warning;
    case ItemMark::none:
      break;
  }
  return nullptr;
}

constexpr int kMarkBarWidth = 3;
// A drop-down combo box is made this high at least: the closed box with
// its open list.
constexpr int kDroppedComboHeight = 160;

struct Made {
  const wchar_t* window_class;
  DWORD style;
  DWORD extended = 0;
};

Made made_for(const ControlOptions& o) {
  switch (o.kind) {
    case ControlKind::button:
      return {L"BUTTON", BS_PUSHBUTTON | BS_MULTILINE | BS_CENTER | BS_VCENTER};
    case ControlKind::combo_box:
      return {L"COMBOBOX", CBS_DROPDOWNLIST | CBS_HASSTRINGS | WS_VSCROLL};
    case ControlKind::list_box:
      return {L"LISTBOX",
              LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | LBS_USETABSTOPS | WS_VSCROLL,
              WS_EX_CLIENTEDGE};
    case ControlKind::label:
      // Without SS_NOTIFY a label lets presses through to the window, so
      // it is a place to drag the window from.
      return {L"STATIC", static_cast<DWORD>(SS_NOPREFIX | (o.label_layout == LabelLayout::centred_line
                                                               ? SS_CENTER | SS_CENTERIMAGE
                                                               : SS_LEFT))};
    case ControlKind::other:
      break;
  }
  return {L"STATIC", 0};
}

std::wstring text_of(HWND control) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

ControlImpl::ControlImpl(HWND parent, const ControlOptions& o) : kind_(o.kind), background_(kButtonFace) {
  const Made made = made_for(o);
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | made.style;
  if (o.focusable) style |= WS_TABSTOP;
  if (o.disabled) style |= WS_DISABLED;
  const int height = o.kind == ControlKind::combo_box ? std::max(o.rect.height, kDroppedComboHeight) : o.rect.height;
  const std::wstring caption = o.kind == ControlKind::button || o.kind == ControlKind::label
                                   ? screen_text(o.caption)
                                   : std::wstring();
  hwnd_ = CreateWindowExW(made.extended, made.window_class, caption.c_str(), style, o.rect.left, o.rect.top,
                          o.rect.width, height, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (hwnd_ == nullptr) return;
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(default_font()), FALSE);
  if (kind_ == ControlKind::label) label_caption_ = text::Text(o.caption);
  if (kind_ == ControlKind::combo_box) {
    for (auto item : o.items) append_item(item);
    SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(o.selected), 0);
    // The items one pixel higher than the system makes them.
    const LRESULT item_height = SendMessageW(hwnd_, CB_GETITEMHEIGHT, 0, 0);
    if (item_height > 0) SendMessageW(hwnd_, CB_SETITEMHEIGHT, 0, item_height + 1);
  }
  if (kind_ == ControlKind::list_box) {
    // Rows one pixel higher than the font's lines, as the system's own.
    HDC dc = GetDC(hwnd_);
    HGDIOBJ was = SelectObject(dc, default_font());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, was);
    ReleaseDC(hwnd_, dc);
    SendMessageW(hwnd_, LB_SETITEMHEIGHT, 0, metrics.tmHeight + 1);
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (tooltip_ != nullptr) {
      TOOLINFOW tool{};
      tool.cbSize = sizeof tool;
      tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      tool.hwnd = hwnd_;
      tool.uId = reinterpret_cast<UINT_PTR>(hwnd_);
      tool.lpszText = LPSTR_TEXTCALLBACKW;
      SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
      // A width makes CR LF break the tip's lines; a path wider than the
      // screen is still shown whole.
      SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, GetSystemMetrics(SM_CXSCREEN));
    }
    SetWindowSubclass(hwnd_, list_messages, 1, reinterpret_cast<DWORD_PTR>(this));
  }
}

ControlImpl::~ControlImpl() {
  if (hwnd_ != nullptr) {
    if (kind_ == ControlKind::list_box) RemoveWindowSubclass(hwnd_, list_messages, 1);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  }
  if (brush_ != nullptr) DeleteObject(brush_);
}

ControlImpl* ControlImpl::of(HWND control) {
  return reinterpret_cast<ControlImpl*>(GetWindowLongPtrW(control, GWLP_USERDATA));
}

void ControlImpl::forget_window() {
  hwnd_ = nullptr;
  tooltip_ = nullptr;
}

void ControlImpl::command(WORD code) {
  if (kind_ == ControlKind::button && code == BN_CLICKED) {
    if (clicked_) {
      const auto handler = clicked_;  // the handler may replace itself
      handler();
    }
    return;
  }
  if (kind_ != ControlKind::combo_box) return;
  // The pick is taken once the combo box has handled it: the handler runs
  // from a posted message, once per pick (a pick from the open list reports
  // both a change and its end).
  const bool picked = code == CBN_SELENDOK ||
                      (code == CBN_SELCHANGE && !SendMessageW(hwnd_, CB_GETDROPPEDSTATE, 0, 0));
  if (picked && !pick_pending_) {
    pick_pending_ = true;
    PostMessageW(GetParent(hwnd_), kRunAfterPick, 0, reinterpret_cast<LPARAM>(hwnd_));
  }
}

void ControlImpl::run_after_pick() {
  pick_pending_ = false;
  if (chosen_) {
    const auto handler = chosen_;
    handler();
  }
}

LRESULT ControlImpl::colours(HDC dc) {
  const bool white = kind_ == ControlKind::list_box || kind_ == ControlKind::combo_box;
  const COLORREF back = white ? RGB(255, 255, 255) : system_colour(background_);
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, back);
  if (brush_ == nullptr) brush_ = CreateSolidBrush(back);
  return reinterpret_cast<LRESULT>(brush_);
}

void ControlImpl::draw_row(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1)) return;
  const int row = static_cast<int>(item.itemID);
  const MarkLook* look = row < static_cast<int>(rows_.size()) ? look_of(rows_[row].mark) : nullptr;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const COLORREF back = selected ? GetSysColor(COLOR_HIGHLIGHT) : look != nullptr ? look->tint : RGB(255, 255, 255);
  HBRUSH fill = CreateSolidBrush(back);
  FillRect(dc, &r, fill);
  DeleteObject(fill);
  if (look != nullptr) {
    RECT bar = r;
    bar.right = bar.left + kMarkBarWidth;
    HBRUSH bar_brush = CreateSolidBrush(look->bar);
    FillRect(dc, &bar, bar_brush);
    DeleteObject(bar_brush);
  }
  std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(0, SendMessageW(hwnd_, LB_GETTEXTLEN, item.itemID, 0))) + 1, L'\0');
  text.resize(static_cast<std::size_t>(
      std::max<LRESULT>(0, SendMessageW(hwnd_, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data())))));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : RGB(0, 0, 0));
  RECT text_rect = r;
  text_rect.left += kMarkBarWidth + 2;
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &text_rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_EXPANDTABS);
  if ((item.itemState & ODS_FOCUS) != 0) DrawFocusRect(dc, &r);
}

// The list box's own messages: its tooltip follows the row under the mouse
// and asks for that row's text.
LRESULT CALLBACK ControlImpl::list_messages(HWND hwnd, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<ControlImpl*>(data);
  if (message == WM_MOUSEMOVE) {
    self->follow_mouse(POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)});
  } else if (message == WM_NOTIFY) {
    auto* header = reinterpret_cast<NMHDR*>(l);
    if (header->hwndFrom == self->tooltip_ && header->code == TTN_GETDISPINFOW) {
      auto* info = reinterpret_cast<NMTTDISPINFOW*>(l);
      const int row = self->tip_row_;
      info->lpszText = row >= 0 && row < static_cast<int>(self->rows_.size())
                           ? const_cast<wchar_t*>(self->rows_[row].tooltip.c_str())
                           : const_cast<wchar_t*>(L"");
      return 0;
    }
  } else if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, list_messages, 1);
  }
  return DefSubclassProc(hwnd, message, w, l);
}

void ControlImpl::follow_mouse(POINT at) {
  const LRESULT hit = SendMessageW(hwnd_, LB_ITEMFROMPOINT, 0, MAKELPARAM(at.x, at.y));
  // The high word says the point is below the last row.
  const int row = HIWORD(hit) != 0 ? -1 : static_cast<int>(LOWORD(hit));
  if (row == tip_row_ || tooltip_ == nullptr) return;
  tip_row_ = row;
  SendMessageW(tooltip_, TTM_POP, 0, 0);
  SendMessageW(tooltip_, TTM_UPDATE, 0, 0);
}

bool ControlImpl::exists() const { return hwnd_ != nullptr; }

void ControlImpl::show() {
  if (hwnd_ != nullptr) ShowWindow(hwnd_, SW_SHOWNA);
}
bool ControlImpl::visible() const { return hwnd_ != nullptr && IsWindowVisible(hwnd_); }
bool ControlImpl::enabled() const { return hwnd_ != nullptr && IsWindowEnabled(hwnd_); }
bool ControlImpl::has_focus() const { return hwnd_ != nullptr && GetFocus() == hwnd_; }

void ControlImpl::set_caption(std::string_view gbk) {
  if (hwnd_ == nullptr) return;
  if (kind_ == ControlKind::label) label_caption_ = text::Text(gbk);
  SetWindowTextW(hwnd_, screen_text(gbk).c_str());
}

text::Text ControlImpl::caption() const {
  if (hwnd_ == nullptr) return {};
  if (kind_ == ControlKind::label) return label_caption_;
  if (kind_ == ControlKind::combo_box) return item(selected_position());
  return program_text(text_of(hwnd_));
}

void ControlImpl::append_item(std::string_view gbk) {
  if (hwnd_ == nullptr) return;
  const std::wstring shown = screen_text(gbk);
  if (kind_ == ControlKind::list_box) {
    if (SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str())) >= 0) rows_.emplace_back();
  } else if (kind_ == ControlKind::combo_box) {
    SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
  }
}

int ControlImpl::item_count() const {
  if (hwnd_ == nullptr) return 0;
  if (kind_ == ControlKind::list_box) return static_cast<int>(SendMessageW(hwnd_, LB_GETCOUNT, 0, 0));
  if (kind_ == ControlKind::combo_box) return static_cast<int>(SendMessageW(hwnd_, CB_GETCOUNT, 0, 0));
  return 0;
}

text::Text ControlImpl::item(int index) const {
  if (hwnd_ == nullptr || index < 0 || index >= item_count()) return {};
  const bool list = kind_ == ControlKind::list_box;
  const LRESULT length = SendMessageW(hwnd_, list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT got = SendMessageW(hwnd_, list ? LB_GETTEXT : CB_GETLBTEXT, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(std::max<LRESULT>(0, got)));
  return program_text(text);
}

void ControlImpl::remove_all_items() {
  if (hwnd_ == nullptr) return;
  if (kind_ == ControlKind::list_box) {
    SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
    rows_.clear();
    tip_row_ = -1;
  } else if (kind_ == ControlKind::combo_box) {
    SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
  }
}

void ControlImpl::set_item_mark(int index, ItemMark mark, std::string_view tooltip_gbk) {
  if (hwnd_ == nullptr || kind_ != ControlKind::list_box || index < 0 || index >= static_cast<int>(rows_.size()))
    return;
  Row& row = rows_[static_cast<std::size_t>(index)];
  std::wstring tooltip = screen_text(tooltip_gbk);
  if (row.mark == mark && row.tooltip == tooltip) return;
  const bool repaint = row.mark != mark;
  row.mark = mark;
  row.tooltip = std::move(tooltip);
  if (repaint) {
    RECT r{};
    if (SendMessageW(hwnd_, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)) != LB_ERR)
      InvalidateRect(hwnd_, &r, FALSE);
  }
}

void ControlImpl::clear_item_marks() {
  for (int i = 0; i < static_cast<int>(rows_.size()); ++i) set_item_mark(i, ItemMark::none, {});
}

int ControlImpl::selected_position() const {
  if (hwnd_ == nullptr || kind_ != ControlKind::combo_box) return -1;
  const LRESULT at = SendMessageW(hwnd_, CB_GETCURSEL, 0, 0);
  return at == CB_ERR ? -1 : static_cast<int>(at);
}

void ControlImpl::set_selected_position(int position) {
  if (hwnd_ != nullptr && kind_ == ControlKind::combo_box)
    SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
}

int ControlImpl::width() const {
  RECT r{};
  return hwnd_ != nullptr && GetWindowRect(hwnd_, &r) ? r.right - r.left : 0;
}

int ControlImpl::height() const {
  RECT r{};
  return hwnd_ != nullptr && GetWindowRect(hwnd_, &r) ? r.bottom - r.top : 0;
}

void ControlImpl::set_background_colour(std::uint32_t colour_bgr) {
  background_ = colour_bgr;
  if (brush_ != nullptr) {
    DeleteObject(brush_);
    brush_ = nullptr;
  }
  if (hwnd_ != nullptr) InvalidateRect(hwnd_, nullptr, TRUE);
}

}  // namespace platform::win32
