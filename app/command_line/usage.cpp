#include "app/command_line/usage.h"

#include <string>

#include "platform/program_text_io.h"
#include "platform/user_language.h"
#include "text/encoding_boundary.h"
#include "text/gbk_literal.h"

namespace {

constexpr char kSynopsis[] =
    "Usage: bixiqin-convert [--from ENC] [--to ENC] [--quiet] [--null] [--skip-outputs] [--] [FILE]...\n";

// The problem as one line, without its end; what was typed comes through as
// the system gave it.
std::string problem_text(const UsageProblem& p, bool zh) {
  const std::string& d = p.detail;
  switch (p.kind) {
    case UsageProblem::Kind::needs_encoding:
      return zh ? text::to_utf8("选项 '"_gbk) + d + text::to_utf8("' 后面需要一个编码名"_gbk)
                : "option '" + d + "' needs an encoding";
    case UsageProblem::Kind::unknown_encoding:
      return zh ? text::to_utf8("不认识的编码名 '"_gbk) + d + text::to_utf8("'（可选 GBK、GB18030 或 UTF-8）"_gbk)
                : "unknown encoding '" + d + "' (GBK, GB18030 or UTF-8)";
    case UsageProblem::Kind::unknown_option:
      return zh ? text::to_utf8("不认识的选项 '"_gbk) + d + "'" : "unknown option '" + d + "'";
    case UsageProblem::Kind::no_files:
      return zh ? text::to_utf8("没有要转换的文件"_gbk) : "no files to convert";
    case UsageProblem::Kind::nul_in_names:
      return zh ? text::to_utf8("标准输入的文件名中含有 NUL 字节：以 NUL 结尾的文件名请加 --null"_gbk)
                : "the names on standard input hold NUL bytes: use --null for names ended by NUL";
  }
  return {};
}

}  // namespace

void print_usage_error(std::FILE* out, const UsageProblem& problem, Language language) {
  const bool zh = language == Language::chinese;
  const std::string more = zh ? text::to_utf8("详细用法请运行 'bixiqin-convert --help'。"_gbk)
                              : "Try 'bixiqin-convert --help' for more information.";
  platform::write_text(out, "bixiqin-convert: " + problem_text(problem, zh) + "\n" + kSynopsis + more + "\n");
}

void print_help(std::FILE* out) {
  std::fputs(kSynopsis, out);
  std::fputs(
      "Convert text files between GBK, GB18030 and UTF-8. Each FILE is converted\n"
      "whole or not at all and written beside itself as \"TO  NAME\" (the target\n"
      "encoding, two blanks, the file's name), replacing an earlier output of that\n"
      "name; FILE itself is never changed. With no FILE, or where FILE is -, the\n"
      "names are read from standard input, one per line.\n"
      "\n"
      "  --from ENC   encoding the files are in: GBK, GB18030 or UTF-8 (default UTF-8)\n"
      "  --to ENC     encoding to write: GBK, GB18030 or UTF-8 (default GB18030)\n"
      "  --quiet      print nothing for the files converted\n"
      "  --null       names on standard input end with a NUL byte (find -print0),\n"
      "               and so does each output name written\n"
      "  --skip-outputs  leave out files named as outputs are (\"GBK  a.txt\", ...)\n"
      "  --help       show this help and exit\n"
      "  --version    show the version and exit\n"
      "  --           end of the options: every later argument is a FILE\n"
      "\n"
      "Each output written is named on standard output. Each file not converted gets\n"
      "one line on standard error with the reason, and so does a file converted from\n"
      "GBK or GB18030 that looks like UTF-8. The reasons are in Chinese when the\n",
      out);
  std::fputs(platform::where_chinese_is_chosen(), out);
  std::fputs(
      ".\n"
      "\n"
      "Exit status: 0 when every file was converted, 1 when any was not, 2 for a\n"
      "usage error.\n",
      out);
}

void print_version(std::FILE* out) { std::fputs("bixiqin-convert " BIXIQIN_VERSION "\n", out); }
