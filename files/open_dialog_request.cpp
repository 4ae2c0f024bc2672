#include "files/open_dialog_request.h"

namespace files {

text::Text dialog_filter(std::string_view filter) {
  text::Text out(filter);
  for (char& c : out) {
    if (c == '|') c = '\0';
  }
  out.append(2, '\0');
  return out;
}

OpenDialogRequest::OpenDialogRequest(const 多选打开对话框参数& parameters,
                                     std::string_view saved_directory)
    : title_(parameters.对话框标题),
      filter_(dialog_filter(parameters.过滤器)),
      initial_directory_(parameters.初始目录 ? *parameters.初始目录 : text::Text(saved_directory)),
      // All zero, so the file-name box starts empty.
      file_(kOpenFileBufferSize, '\0'),
      // The file title starts as blanks, ended by a zero byte.
      file_title_(kOpenFileBufferSize + 1, ' '),
      record_{} {
  file_title_.back() = '\0';
  record_.lStructSize = kOpenRequestSize;
  record_.hwndOwner = parameters.父窗口;
  record_.hInstance = 0;
  record_.lpstrFilter = filter_.c_str();
  record_.lpstrCustomFilter = nullptr;
  record_.nMaxCustFilter = 0;
  record_.nFilterIndex = 0;
  record_.lpstrFile = file_.data();
  record_.nMaxFile = kOpenFileBufferSize;
  record_.lpstrFileTitle = file_title_.data();
  record_.nMaxFileTitle = kOpenFileBufferSize;
  record_.lpstrInitialDir = initial_directory_.c_str();
  record_.lpstrTitle = title_.c_str();
  // Explorer style, several files; typed names need not exist, the read-only
  // box is not hidden, and the dialog moves the current directory.
  record_.Flags = platform::kOpenExplorer | platform::kOpenAllowMultiSelect;
}

}  // namespace files
