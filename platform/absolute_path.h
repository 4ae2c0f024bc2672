#pragma once
// A path given to the program (its command line) made absolute, as the list
// of files holds them: the open dialog may change the current folder later.
#include <string_view>

#include "text/text.h"

namespace platform {

// `path` (GBK-family text) against the current folder, the way the system
// reads a relative path; an absolute one as it is.
text::Text absolute_path(std::string_view path);

}  // namespace platform
