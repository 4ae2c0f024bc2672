#pragma once
// The command line of bixiqin-convert, taken apart.
#include <string>
#include <vector>

#include "text/text.h"

struct ConvertOptions {
  text::Text from = "UTF-8";  // as the window starts
  text::Text to = "GB18030";
  bool quiet = false;         // no lines for converted files
  bool null_separated = false;  // names on standard input end with NUL
  // The FILE arguments as the system gave them; "-" stands for the names on
  // standard input.
  std::vector<std::string> files;
};

struct ParsedCommandLine {
  enum class Action { convert, help, version, usage_error };
  Action action = Action::convert;
  ConvertOptions options;
  std::string problem;  // of a usage error, one line without its end
};

// Options may come before, between or after the files; "--" ends them.
ParsedCommandLine parse_command_line(const std::vector<std::string>& arguments);
