#include "program_run.h"

#include <gtest/gtest.h>

#include "platform/user_language.h"
#include "tests/windows/windows_support.h"

namespace {

// The C runtime's text mode ends each line with CR LF: read back as the
// lines Linux writes, once checked that no line ended with LF alone.
std::string as_lines(const std::string& written) {
  std::string lines;
  for (std::size_t i = 0; i < written.size(); ++i) {
    if (written[i] == '\r' && i + 1 < written.size() && written[i + 1] == '\n') continue;
    if (written[i] == '\n' && (i == 0 || written[i - 1] != '\r')) ADD_FAILURE() << "a line without CR: " << written;
    lines += written[i];
  }
  return lines;
}

}  // namespace

Ran run(const std::vector<std::string>& args, const std::string& input, const std::filesystem::path& cwd) {
  std::vector<std::wstring> wide_args;
  for (const std::string& a : args) wide_args.push_back(wide(a));
  const ConvertRun ran = run_convert(wide_args, input, cwd.wstring());
  return {static_cast<int>(ran.exit_code), as_lines(ran.out), as_lines(ran.err)};
}

std::string in_run_language(const char* chinese, const char* english) {
  return platform::user_reads_chinese() ? chinese : english;
}
