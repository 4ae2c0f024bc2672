#pragma once
// The command line's own words with the system: the arguments it was given
// and the lines it writes, both as UTF-8 (file names as the system spells
// them, any bytes).
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The program's arguments after its name.
std::vector<std::string> program_arguments(int argc, char** argv);

// Writes `utf8` to `stream` (standard output or error) so that the user sees
// those characters: a terminal or a file or pipe here all take UTF-8 bytes.
// False when it could not be written.
bool write_text(std::FILE* stream, std::string_view utf8);

}  // namespace platform
