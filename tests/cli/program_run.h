#pragma once
// bixiqin-convert as a user runs it, on either system: the built program in
// a child process, its standard streams and exit code read back. Arguments,
// input and output are UTF-8 (on Linux any bytes).
#include <filesystem>
#include <string>
#include <vector>

#include "tests/convert/temp_folder.h"

struct Ran {
  int exit_code = -1;  // -1 when the program did not end normally
  std::string out;
  std::string err;
};

// Runs the program with `args` and `input` on standard input, in the
// folder `cwd` when one is given. On Linux in the C locale (English); on
// Windows in the user's own language, which a program cannot be given
// apart from its parent, and with each line's CR LF read back as LF.
Ran run(const std::vector<std::string>& args, const std::string& input = {}, const std::filesystem::path& cwd = {});

// Of the two texts, the one in the language run() gives the program.
std::string in_run_language(const char* chinese, const char* english);

// A name in the folder as the program is given it (UTF-8).
inline std::string at(const TempFolder& folder, const std::string& name) { return utf8_of(folder.native(name)); }
