#include "app/command_line/message_language.h"

#include "platform/user_language.h"

Language message_language() { return platform::user_reads_chinese() ? Language::chinese : Language::english; }
