#pragma once
// Loading a window from its definition, modally or not.
#include <cstdint>

#include "ui/window.h"
#include "ui/window_definition.h"

namespace ui {

// Loads the window (or brings it to the front when it is already open).
// Modal: returns only when the window has been destroyed, having blocked
// input to the program's other windows meanwhile; the result is then null.
// Not modal: returns the loaded window, or null when it could not be loaded
// or no longer exists after its created event.
窗口* 载入窗口(const 窗口定义& definition, bool modal);

// The loaded window of this definition identifier, or null.
窗口* 取已载入窗口(std::uint32_t identifier);

}  // namespace ui
