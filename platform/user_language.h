#pragma once
// The language the user reads the program's messages in.
namespace platform {

// Whether the user's language for messages is Chinese: here the locale's
// message language, as LC_ALL, LC_MESSAGES and LANG set it (the first one
// set, "zh" at its start: zh_CN.UTF-8, zh_TW, ...).
bool user_reads_chinese();

}  // namespace platform
