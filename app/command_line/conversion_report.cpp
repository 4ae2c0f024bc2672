#include "app/command_line/conversion_report.h"

#include "convert/single_file.h"
#include "platform/native_path.h"
#include "platform/program_text_io.h"
#include "text/encoding_boundary.h"
#include "text/gbk_literal.h"

void ConversionReport::convert(std::string_view native_path) {
  // The output's path is made from the name as the system gave it, split
  // as the system splits paths, and printed with exactly those bytes.
  const std::string output = platform::native_path_beside(native_path, text::join(options_.to, "  "));
  const 转换结果 r =
      转换单个文件到(text::from_utf8(native_path), text::from_utf8(output), options_.from, options_.to);
  if (!r.已转换) {
    any_failed_ = true;
    line(err_, native_path, 转换说明(r, options_.from, options_.to, language_));
    if (!r.建议编码.empty()) line(err_, native_path, 编码建议(r.建议编码, language_));
    return;
  }
  // NUL-ended with --null, so that names with line breaks can be told apart.
  if (!options_.quiet && !platform::write_text(out_, output + (options_.null_separated ? '\0' : '\n'))) {
    output_failed_ = true;
  }
  if (r.also_valid_utf8) {
    const text::Text warning = language_ == Language::chinese ? "警告："_gbk : "warning: ";
    line(err_, native_path, text::join(warning, 编码提醒(options_.from, language_)));
  }
}

void ConversionReport::fail(std::string_view what) {
  any_failed_ = true;
  platform::write_text(err_, "bixiqin-convert: " + std::string(what) + "\n");
}

int ConversionReport::exit_status() {
  if (std::fflush(out_) != 0 || std::ferror(out_) || output_failed_) {
    fail("standard output could not be written");
  }
  return any_failed_ ? 1 : 0;
}

void ConversionReport::line(std::FILE* to, std::string_view native_path, std::string_view program_text) {
  // Standard output's lines go first, so that a terminal shows them in order.
  std::fflush(out_);
  platform::write_text(to, "bixiqin-convert: " + std::string(native_path) + ": " + text::to_utf8(program_text) + "\n");
}
