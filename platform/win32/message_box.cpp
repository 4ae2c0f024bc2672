#include "platform/message_box.h"

#include <windows.h>

#include <string>

#include "platform/win32/wide_text.h"
#include "text/encoding_boundary.h"

namespace platform {
namespace {

// For reading, not for naming files: bytes that are no GB18030 character
// show as U+FFFD instead of losing the whole text.
std::wstring shown(std::string_view gbk) { return win32::wide_from_utf8(text::to_utf8(gbk)); }

}  // namespace

void message_box(std::string_view gbk_text, std::string_view gbk_title, MessageIcon icon) {
  const std::wstring text = shown(gbk_text);
  const std::wstring title = shown(gbk_title);
  // Task-modal without an owner: every window of this thread waits, as a
  // box that belongs to no window must; brought to the front, since the
  // program may show it while another program is active.
  UINT style = MB_OK | MB_TASKMODAL | MB_SETFOREGROUND;
  if (icon == MessageIcon::error) style |= MB_ICONERROR;
  MessageBoxW(nullptr, text.c_str(), title.c_str(), style);
}

}  // namespace platform
