#pragma once
// Converting the named files one after the other and telling the user about
// each: the output's path on standard output, a reason or a warning on
// standard error.
#include <cstdio>
#include <string_view>

#include "app/command_line/options.h"
#include "convert/reason_text.h"

class ConversionReport {
 public:
  ConversionReport(const ConvertOptions& options, Language language, std::FILE* out, std::FILE* err)
      : options_(options), language_(language), out_(out), err_(err) {}

  // Converts one file, named as the system gave it (any bytes).
  void convert(std::string_view native_path);
  // A problem that is no file's, such as an unreadable list of names.
  void fail(std::string_view what);

  // 0 when every file was converted (none at all included), 1 otherwise,
  // also when the lines could not all be written.
  int exit_status();

 private:
  void line(std::FILE* to, std::string_view native_path, std::string_view program_text);

  const ConvertOptions& options_;
  const Language language_;
  std::FILE* const out_;
  std::FILE* const err_;
  bool any_failed_ = false;
  bool output_failed_ = false;  // a line of standard output was not written
};
