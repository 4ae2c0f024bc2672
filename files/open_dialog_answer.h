#pragma once
// Reading the open dialog's answer buffer.
#include <string_view>

#include "text/text.h"

namespace files {

// The buffer holds, up to its first two consecutive zero bytes, either one
// full path, or a folder followed by the chosen names, each ended by a zero
// byte. Gives the full paths in that order joined by "\r\n", nothing after
// the last. The folder gets a "/" unless it already ends with one (the root).
text::Text parse_open_dialog_answer(std::string_view buffer);

}  // namespace files
