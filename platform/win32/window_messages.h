#pragma once
// What the windows, their controls and the message loops share on Windows.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace platform::win32 {

// Keys that belong to a window rather than to the control that has the
// focus (Tab along the window's focus chain, Esc where it closes the
// window): true when `message` was one of them and has been handled. Every
// message loop of the program asks this before dispatching.
bool handle_window_keys(const MSG& message);

// Runs `message` through handle_window_keys, then translates and dispatches.
void deliver(const MSG& message);

// The program's text for the screen: GB18030 inside, UTF-16 for the
// system; bytes that are no valid text show as U+FFFD rather than vanish.
std::wstring screen_text(std::string_view gbk);
std::string program_text(std::wstring_view wide);

// The colour as the system draws it (the button face looked up now).
COLORREF system_colour(std::uint32_t colour_bgr);

// The font the program's windows use: the system's default GUI font.
HFONT default_font();

// A message posted to a window to run what must come after the message
// being handled (a combo box's pick); lParam is the control's handle.
inline constexpr UINT kRunAfterPick = WM_APP + 1;

}  // namespace platform::win32
