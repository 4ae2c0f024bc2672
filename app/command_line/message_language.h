#pragma once
// The language of the per-file reasons: the locale's message language, as
// the environment sets it.
#include "convert/reason_text.h"

// Chinese when the first set one of LC_ALL, LC_MESSAGES and LANG starts with
// "zh" (zh_CN.UTF-8, zh_TW, ...), English otherwise.
Language message_language();
