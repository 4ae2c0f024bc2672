#pragma once
// Preparing the open dialog's request: the filter as the dialog takes it and
// the request record with the buffers it points into.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "files/open_dialog.h"
#include "platform/open_file_request.h"
#include "text/text.h"

namespace files {

// The record without its three trailing reserved fields.
inline constexpr std::uint32_t kOpenRequestSize = 76;
inline constexpr std::uint32_t kOpenFileBufferSize = 98192;

// Every "|" byte becomes a zero byte and two zero bytes end the list. Byte
// by byte, as the dialog's filter format is defined on bytes.
text::Text dialog_filter(std::string_view filter);

// The record and everything it points at, kept together; neither copied nor
// moved, so the pointers stay valid for the call.
class OpenDialogRequest {
 public:
  // `saved_directory` is the current directory read at the start of the
  // call; it is the initial folder when 初始目录 was left out.
  OpenDialogRequest(const 多选打开对话框参数& parameters, std::string_view saved_directory);
  OpenDialogRequest(const OpenDialogRequest&) = delete;
  OpenDialogRequest& operator=(const OpenDialogRequest&) = delete;

  platform::OpenFileRequest& record() { return record_; }
  const platform::OpenFileRequest& record() const { return record_; }
  // The whole answer buffer, nMaxFile bytes.
  std::string_view answer() const { return {file_.data(), file_.size()}; }

 private:
  text::Text title_;
  text::Text filter_;
  text::Text initial_directory_;
  std::vector<char> file_;
  std::vector<char> file_title_;
  platform::OpenFileRequest record_;
};

}  // namespace files
