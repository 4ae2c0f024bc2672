#pragma once
// Opening a web page in the user's browser.
#include <string_view>

namespace platform {

// Starts the desktop's opener (xdg-open) with the address as its only
// argument, no shell involved, without waiting for it to end. False when it
// could not be started.
bool start_browser(std::string_view gbk_address);

}  // namespace platform
