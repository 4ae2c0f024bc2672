#pragma once
// An encoding named on the command line, taken in any case and handed on in
// the catalogue's spelling, which the conversion and the output name use.
#include <optional>
#include <string_view>

#include "text/text.h"

// "gbk" gives "GBK", "Utf-8" gives "UTF-8"; nothing for a name outside the
// three.
std::optional<text::Text> chosen_encoding(std::string_view typed);
