#pragma once
// Opening a web page in the user's browser.
#include <string_view>

namespace platform {

// Starts the desktop's opener (xdg-open) with the address as its only
// argument, no shell involved, and waits a moment for it to hand the address
// on, never for the browser to end. False when it could not be started, or
// ended with an error (no browser to open the page).
bool start_browser(std::string_view gbk_address);

}  // namespace platform
