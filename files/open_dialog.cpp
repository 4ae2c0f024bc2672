#include "files/open_dialog.h"

#include "files/open_dialog_answer.h"
#include "files/open_dialog_request.h"
#include "platform/current_directory.h"
#include "platform/open_file_dialog.h"

text::Text 多选打开对话框(const 多选打开对话框参数& 参数) {
  // Saved on every call: it is both the default initial folder and what a
  // confirmed choice puts back.
  const text::Text saved_directory = platform::current_directory();
  files::OpenDialogRequest request(参数, saved_directory);
  if (!platform::open_file_dialog(request.record())) return {};

  text::Text paths = files::parse_open_dialog_answer(request.answer());
  // The dialog moved the current directory to the chosen files' folder.
  if (!参数.保留目录) platform::set_current_directory(saved_directory);
  return paths;
}
