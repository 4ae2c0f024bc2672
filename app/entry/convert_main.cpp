// Process entry of bixiqin-convert, the command-line converter: the same
// conversion as the window's, one file after the other, said on the
// terminal instead of in the lists.
#include <cstdio>

#include "app/command_line/conversion_report.h"
#include "app/command_line/message_language.h"
#include "app/command_line/name_reader.h"
#include "app/command_line/options.h"
#include "app/command_line/usage.h"
#include "platform/standard_input.h"

namespace {

void convert_names_on_standard_input(ConversionReport& report, const ConvertOptions& options) {
  const char separator = options.null_separated ? '\0' : '\n';
  if (!read_names(stdin, separator, [&](std::string_view name) { report.convert(name); })) {
    report.fail("standard input could not be read");
  }
}

}  // namespace

int main(int argc, char** argv) {
  const ParsedCommandLine parsed = parse_command_line(argc, argv);
  switch (parsed.action) {
    case ParsedCommandLine::Action::help: print_help(stdout); return 0;
    case ParsedCommandLine::Action::version: print_version(stdout); return 0;
    case ParsedCommandLine::Action::usage_error: print_usage_error(stderr, parsed.problem); return 2;
    case ParsedCommandLine::Action::convert: break;
  }
  const ConvertOptions& options = parsed.options;
  if (options.files.empty() && platform::standard_input_is_terminal()) {
    print_usage_error(stderr, "no files to convert");
    return 2;
  }

  ConversionReport report(options, message_language(), stdout, stderr);
  if (options.files.empty()) convert_names_on_standard_input(report, options);
  for (const std::string& file : options.files) {
    if (file == "-") {
      convert_names_on_standard_input(report, options);
    } else {
      report.convert(file);
    }
  }
  return report.exit_status();
}
