#include "platform/toolkit_translation.h"

#include <windows.h>

namespace platform {

// The open dialog and the message boxes are the system's own and speak the
// language of its interface; the program has nothing to install. Their
// texts are Simplified Chinese exactly when that language is (the mainland
// and Singapore); anywhere else they stay in the system's language, which
// is what "not installed" means here.
bool load_toolkit_translations() {
  const LANGID language = GetUserDefaultUILanguage();
  return PRIMARYLANGID(language) == LANG_CHINESE &&
         (SUBLANGID(language) == SUBLANG_CHINESE_SIMPLIFIED || SUBLANGID(language) == SUBLANG_CHINESE_SINGAPORE);
}

}  // namespace platform
