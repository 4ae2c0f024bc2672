#pragma once
// The language the user reads the program's messages in.
namespace platform {

// Whether the user's language for messages is Chinese: on Linux the
// locale's message language, as LC_ALL, LC_MESSAGES and LANG set it (the
// first one set, "zh" at its start: zh_CN.UTF-8, zh_TW, ...); on Windows
// the user's display language.
bool user_reads_chinese();

// Where that language is set, as the help words it, completing "The
// reasons are in Chinese when the" on a line of its own.
const char* where_chinese_is_chosen();

}  // namespace platform
