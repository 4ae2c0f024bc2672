#pragma once
// Paths as the system spells them, for the command line, which takes them
// from the system and hands them back unchanged.
#include <string>
#include <string_view>

namespace platform {

// The path of `prefix` followed by the file's name, beside the file at
// `path`, both as the system spells them: the folder part is split off where
// the system divides paths (on this system only at "/"; a backslash is part
// of a name).
std::string native_path_beside(std::string_view path, std::string_view prefix);

// The file's name in `path`, without its folder, split the same way.
std::string_view native_file_name(std::string_view path);

}  // namespace platform
