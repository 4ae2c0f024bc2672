// Process entry of bixiqin-convert, the command-line converter: the same
// conversion as the window's, one file after the other, said on the
// terminal instead of in the lists.
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line/conversion_report.h"
#include "app/command_line/message_language.h"
#include "app/command_line/name_reader.h"
#include "app/command_line/options.h"
#include "app/command_line/usage.h"
#include "files/output_names.h"
#include "platform/native_path.h"
#include "platform/process_signals.h"
#include "platform/program_text_io.h"
#include "platform/standard_input.h"

namespace {

struct FileNames {
  std::vector<std::string> names;
  bool input_failed = false;  // standard input could not be read
  bool nul_in_a_line = false;  // a name ended by a line break holds a NUL
};

// The files to convert, in order: the FILE arguments, the names on standard
// input in place of each "-" (and of none at all). Read whole before the
// first file converts, so that a list that is not what it seems converts
// nothing.
FileNames names_to_convert(const ConvertOptions& options) {
  FileNames all;
  const auto from_standard_input = [&] {
    const char separator = options.null_separated ? '\0' : '\n';
    const bool read = read_names(stdin, separator, [&](std::string_view name) {
      if (name.find('\0') != std::string_view::npos) all.nul_in_a_line = true;
      all.names.emplace_back(name);
    });
    if (!read) all.input_failed = true;
  };
  if (options.files.empty()) from_standard_input();
  for (const std::string& file : options.files) {
    if (file == "-") {
      from_standard_input();
    } else {
      all.names.push_back(file);
    }
  }
  return all;
}

}  // namespace

int main(int argc, char** argv) {
  const ParsedCommandLine parsed = parse_command_line(platform::program_arguments(argc, argv));
  switch (parsed.action) {
    case ParsedCommandLine::Action::help: print_help(stdout); return 0;
    case ParsedCommandLine::Action::version: print_version(stdout); return 0;
    case ParsedCommandLine::Action::usage_error:
      print_usage_error(stderr, parsed.problem, message_language());
      return 2;
    case ParsedCommandLine::Action::convert: break;
  }
  const ConvertOptions& options = parsed.options;
  if (options.files.empty() && platform::standard_input_is_terminal()) {
    print_usage_error(stderr, {UsageProblem::Kind::no_files, {}}, message_language());
    return 2;
  }
  platform::guard_outputs_against_signals();

  const FileNames files = names_to_convert(options);
  if (files.nul_in_a_line) {
    // find -print0 without --null: one name glued to the next.
    print_usage_error(stderr, {UsageProblem::Kind::nul_in_names, {}}, message_language());
    return 2;
  }
  ConversionReport report(options, message_language(), stdout, stderr);
  for (const std::string& name : files.names) {
    if (options.skip_outputs && 像输出文件名(platform::native_file_name(name))) continue;
    report.convert(name);
  }
  if (files.input_failed) report.fail("standard input could not be read");
  return report.exit_status();
}
