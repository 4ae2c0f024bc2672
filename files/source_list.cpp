#include "files/source_list.h"

#include "app/program_values.h"
#include "files/dropped_files.h"
#include "files/open_dialog.h"
#include "files/path_split.h"
#include "text/gbk_literal.h"
#include "ui/main_window.h"

namespace {

unsigned long clears = 0;

// Appends each path to 原始文件路径 and its file name to 列表框_原始, in
// order, then reports the size of the whole list; nothing at all for none.
void add_sources(const std::vector<text::Text>& paths) {
  if (paths.empty()) return;
  ui::控件& names = ui::主窗口控件::列表框_原始();
  for (const text::Text& path : paths) {
    原始文件路径.append(path);
    names.加入项目(取路径名或网址左右(path, 1));
  }
  ui::主窗口控件::标签_原信息().置标题(
      text::join("列表框共有"_gbk, text::decimal(names.取项目数()), "个文件～～"_gbk));
}

}  // namespace

void 按钮_选择_被单击() {
  // No owner, and the initial folder and keep-folder left out.
  多选打开对话框参数 request;
  request.对话框标题 = "打开TXT文件"_gbk;
  request.过滤器 = " TXT文档(*.txt)|*.txt"_gbk;
  const text::Text chosen = 多选打开对话框(request);
  if (chosen.empty()) return;
  add_sources(text::split(chosen, "\r\n"));
}

void 启动窗口_文件被放下() {
  if (ui::窗口* window = ui::主窗口()) add_sources(放下的源文件(window->取放下的文件()));
}

void 加入启动文件(const std::vector<text::Text>& paths) { add_sources(放下的源文件(paths)); }

void 按钮2_被单击() {
  ui::主窗口控件::列表框_原始().清空();
  ui::主窗口控件::列表框_现在().清空();
  原始文件路径.clear();
  ++clears;
}

unsigned long 源列表清空次数() { return clears; }
