#pragma once
// Start-up and shutdown.
#include <vector>

#include "text/text.h"

// Creates the program-wide values, loads the main window, runs the message
// loop until the last window has gone, and returns 0. `files` (full paths,
// as a file manager's "Open with" gives them) are added to the source list
// first, as a drop adds them.
int 启动子程序(const std::vector<text::Text>& files = {});

// Releases the program-wide values; runs once, at a normal end.
void 清理子程序();

// How many times the clean-up has run in this process (for checks at exit).
int 清理次数();

// Created handler of the main window.
void 主窗口_创建完毕();

// Created handler of the About window.
void 关于窗口_创建完毕();
