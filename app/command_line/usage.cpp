#include "app/command_line/usage.h"

namespace {
constexpr char kSynopsis[] = "Usage: bixiqin-convert [--from ENC] [--to ENC] [--quiet] [--null] [--] [FILE]...\n";
}  // namespace

void print_usage_error(std::FILE* out, std::string_view problem) {
  std::fprintf(out, "bixiqin-convert: %.*s\n%sTry 'bixiqin-convert --help' for more information.\n",
               static_cast<int>(problem.size()), problem.data(), kSynopsis);
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
      "  --null       names on standard input end with a NUL byte (find -print0)\n"
      "  --help       show this help and exit\n"
      "  --version    show the version and exit\n"
      "  --           end of the options: every later argument is a FILE\n"
      "\n"
      "Each output written is named on standard output. Each file not converted gets\n"
      "one line on standard error with the reason, and so does a file converted from\n"
      "GBK or GB18030 that looks like UTF-8. The reasons are in Chinese when the\n"
      "locale's language (LC_ALL, LC_MESSAGES, LANG) is zh.\n"
      "\n"
      "Exit status: 0 when every file was converted, 1 when any was not, 2 for a\n"
      "usage error.\n",
      out);
}

void print_version(std::FILE* out) { std::fputs("bixiqin-convert " BIXIQIN_VERSION "\n", out); }
