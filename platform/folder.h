#pragma once
// What a path names, and the files directly in a folder. Paths and names
// are GBK-family text, handed to and taken from the system as file names.
#include <string_view>
#include <vector>

#include "text/text.h"

namespace platform {

enum class PathKind { nothing, folder, other };

// What `path` names, following symbolic links.
PathKind path_kind(std::string_view path);

// The names of the regular files directly in `folder` (symbolic links to
// them included), in the order the system lists them; none when the folder
// cannot be read.
std::vector<text::Text> regular_files_in(std::string_view folder);

}  // namespace platform
