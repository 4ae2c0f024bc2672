#pragma once
// The process's current directory, as GBK-family text.
#include <string_view>

#include "text/text.h"

namespace platform {

// The current directory; the empty text when it cannot be read or does not
// fit the 260-byte buffer the program reads it into (259 bytes and the zero).
text::Text current_directory();

// Makes `directory` the current directory; false when that fails.
bool set_current_directory(std::string_view directory);

}  // namespace platform
