#pragma once
// What became of a file, in words: for the window's tooltips (Chinese, as
// program text) and for the command line (Chinese or English).
#include <string>
#include <string_view>

#include "convert/single_file.h"
#include "text/text.h"

enum class Language { chinese, english };

// One line, without the file's name: where and why it failed, or the
// output's file name when it converted. `原编码` and `现编码` are the names the
// conversion used. Chinese comes as program text (GBK family), English as
// ASCII.
text::Text 转换说明(const 转换结果& r, std::string_view 原编码, std::string_view 现编码,
                    Language language = Language::chinese);

// The warning for a file converted from GBK or GB18030 that is also valid
// UTF-8 (转换结果::also_valid_utf8).
text::Text 编码提醒(std::string_view 原编码, Language language = Language::chinese);

// The hint for a file that reads as another encoding (转换结果::建议编码):
// which one, and what to choose.
text::Text 编码建议(std::string_view 建议编码, Language language = Language::chinese);
