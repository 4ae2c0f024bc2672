#pragma once
// The program-wide values: they live from the start routine to the clean-up.
#include <memory>

#include "text/array.h"
#include "text/text.h"

class 窗口特效;

// The encoding the files are in, and the one they are to be in.
extern text::Text 原编码名;
extern text::Text 现编码名;
// Full paths of the source list, 1-based, in list order.
extern text::Array<text::Text> 原始文件路径;
// The single effects object.
extern std::unique_ptr<窗口特效> 特效对象;
