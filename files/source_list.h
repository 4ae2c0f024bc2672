#pragma once
// The source list: the full paths in 原始文件路径 and the file names in
// 列表框_原始, kept side by side by the add and clear commands.
#include <vector>

#include "text/text.h"

// Clicked 按钮_选择 ("添加"): add files chosen in the open dialog.
void 按钮_选择_被单击();
// Files or folders dropped on the main window: added as the dialog's picks
// are. A run in progress leaves them to the next run.
void 启动窗口_文件被放下();
// The files the program was started with ("Open with" from a file
// manager): added as dropped files are.
void 加入启动文件(const std::vector<text::Text>& paths);
// Clicked 按钮2 ("清空"): empty the source list and the result list.
void 按钮2_被单击();

// Counts the clears so far, so that a batch run can tell that the list it
// walks has been emptied under it.
unsigned long 源列表清空次数();
