#pragma once
// The language of the per-file reasons: the user's language for messages.
#include "convert/reason_text.h"

// Chinese when the user reads Chinese (see platform/user_language.h),
// English otherwise.
Language message_language();
