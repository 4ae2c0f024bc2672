#include "app/command_line/options.h"

#include <optional>
#include <string_view>

#include "app/command_line/encoding_choice.h"

namespace {

ParsedCommandLine usage_error(UsageProblem::Kind kind, std::string_view detail) {
  ParsedCommandLine parsed;
  parsed.action = ParsedCommandLine::Action::usage_error;
  parsed.problem = {kind, std::string(detail)};
  return parsed;
}

// "--from=GBK" gives "GBK" for "--from"; nothing when the argument is not
// that option with "=".
std::optional<std::string_view> attached_value(std::string_view argument, std::string_view option) {
  if (argument.size() > option.size() && argument.substr(0, option.size()) == option &&
      argument[option.size()] == '=') {
    return argument.substr(option.size() + 1);
  }
  return std::nullopt;
}

}  // namespace

ParsedCommandLine parse_command_line(const std::vector<std::string>& arguments) {
  ParsedCommandLine parsed;
  ConvertOptions& options = parsed.options;
  bool options_ended = false;
  const std::size_t count = arguments.size();
  for (std::size_t i = 0; i < count; ++i) {
    const std::string_view argument = arguments[i];
    // "-" alone is standard input, not an option.
    if (options_ended || argument.size() < 2 || argument[0] != '-') {
      options.files.emplace_back(argument);
      continue;
    }
    if (argument == "--") {
      options_ended = true;
      continue;
    }
    if (argument == "--help") {
      parsed.action = ParsedCommandLine::Action::help;
      return parsed;
    }
    if (argument == "--version") {
      parsed.action = ParsedCommandLine::Action::version;
      return parsed;
    }
    if (argument == "--quiet") {
      options.quiet = true;
      continue;
    }
    if (argument == "--null") {
      options.null_separated = true;
      continue;
    }
    if (argument == "--skip-outputs") {
      options.skip_outputs = true;
      continue;
    }
    bool handled = false;
    for (const std::string_view option : {std::string_view("--from"), std::string_view("--to")}) {
      std::optional<std::string_view> value = attached_value(argument, option);
      if (!value && argument == option) {
        if (i + 1 == count) return usage_error(UsageProblem::Kind::needs_encoding, option);
        value = arguments[++i];
      }
      if (!value) continue;
      const std::optional<text::Text> name = chosen_encoding(*value);
      if (!name) {
        return usage_error(UsageProblem::Kind::unknown_encoding, *value);
      }
      (option == "--from" ? options.from : options.to) = *name;
      handled = true;
      break;
    }
    if (!handled) return usage_error(UsageProblem::Kind::unknown_option, argument);
  }
  return parsed;
}
