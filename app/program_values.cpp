#include "app/program_values.h"

#include "effects/window_effects.h"

text::Text 原编码名;
text::Text 现编码名;
text::Array<text::Text> 原始文件路径;
std::unique_ptr<窗口特效> 特效对象;
