#pragma once
// The multi-file open dialog: shows the system's file-open dialog with
// several files allowed and answers with the chosen full paths.
#include <cstdint>
#include <optional>

#include "text/text.h"

// Parameters in their order; 父窗口, 初始目录 and 保留目录 may be left out.
struct 多选打开对话框参数 {
  // Window id of the owner; 0: no owner, no window of the program is disabled.
  std::intptr_t 父窗口 = 0;
  text::Text 对话框标题 = {};
  // Labels and patterns alternately, separated by "|": " TXT文档(*.txt)|*.txt".
  text::Text 过滤器 = {};
  // Left out: the current directory at the call. An empty text is a given
  // text and is handed to the dialog as it is.
  std::optional<text::Text> 初始目录 = std::nullopt;
  // false: after a confirmed choice the current directory is put back.
  bool 保留目录 = false;
};

// The empty text after a cancel or a failure of the dialog, one full path
// for one file, otherwise the full paths in the dialog's order joined by
// "\r\n" with nothing after the last. Blocks until the dialog is closed.
text::Text 多选打开对话框(const 多选打开对话框参数& 参数);
