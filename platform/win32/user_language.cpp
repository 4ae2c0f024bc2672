#include "platform/user_language.h"

#include <windows.h>

namespace platform {

// The language of the user's interface, whatever the country: Chinese of
// the mainland, Taiwan, Hong Kong, ... alike.
bool user_reads_chinese() { return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_CHINESE; }

const char* where_chinese_is_chosen() { return "Windows display language is Chinese"; }

}  // namespace platform
