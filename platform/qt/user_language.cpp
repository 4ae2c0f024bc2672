#include "platform/user_language.h"

#include <cstdlib>
#include <string_view>

namespace platform {

bool user_reads_chinese() {
  // The locale's own order: LC_ALL overrides LC_MESSAGES, which overrides
  // LANG; an empty variable counts as unset.
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') continue;
    return std::string_view(value).starts_with("zh");
  }
  return false;
}

const char* where_chinese_is_chosen() { return "locale's language (LC_ALL, LC_MESSAGES, LANG) is zh"; }

}  // namespace platform
