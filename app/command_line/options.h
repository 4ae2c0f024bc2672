#pragma once
// The command line of bixiqin-convert, taken apart.
#include <string>
#include <vector>

#include "text/text.h"

struct ConvertOptions {
  text::Text from = "UTF-8";  // as the window starts
  text::Text to = "GB18030";
  bool quiet = false;         // no lines for converted files
  bool null_separated = false;  // names on standard input end with NUL, and so do the lines written
  bool skip_outputs = false;    // leave out files named as this program names its outputs
  // The FILE arguments as the system gave them; "-" stands for the names on
  // standard input.
  std::vector<std::string> files;
};

// What is wrong with a command line, said in either language by usage.h.
struct UsageProblem {
  enum class Kind { needs_encoding, unknown_encoding, unknown_option, no_files, nul_in_names };
  Kind kind = Kind::no_files;
  std::string detail;  // the option or the encoding named, as typed
};

struct ParsedCommandLine {
  enum class Action { convert, help, version, usage_error };
  Action action = Action::convert;
  ConvertOptions options;
  UsageProblem problem;  // of a usage error
};

// Options may come before, between or after the files; "--" ends them.
ParsedCommandLine parse_command_line(const std::vector<std::string>& arguments);
