#pragma once
// For a file that is not valid in the encoding chosen for it: the one other
// encoding it reads as, if there is exactly one. Only failed files pay for
// the look, and no output is written for it.
#include <string_view>

#include "text/text.h"

// An encoding other than 原编码 in which the whole file S is valid with
// characters beyond ASCII (in UTF-8: a character of three or four bytes,
// the rule of the wrong-encoding warning): UTF-8 if it is one, else GBK,
// else GB18030; empty when none is.
text::Text 猜测编码(std::string_view S, std::string_view 原编码);
