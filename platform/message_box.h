#pragma once
// Message boxes: no owner window, a single OK button, an icon or none.
#include <string_view>

namespace platform {

enum class MessageIcon { none, error };

// Shows the box and returns when it is closed.
void message_box(std::string_view gbk_text, std::string_view gbk_title, MessageIcon icon);

}  // namespace platform
