#pragma once
// The About window: the author's note, two page buttons, and the tune.
#include <cstdint>

#include "ui/window_definition.h"

namespace ui {

constexpr std::uint32_t kAboutWindowId = 0x520125E1;

// The project's pages and the author's address (a reserved example domain),
// the one address of the project: the package names it too.
inline constexpr const char* kUpdatePageAddress = "https://bixiqin.example.com/update";
inline constexpr const char* kDonationPageAddress = "https://bixiqin.example.com/donate";
inline constexpr const char* kAuthorMailAddress = "bixiqin@example.com";

const 窗口定义& 关于窗口定义();
// The about text, CR LF ended lines, as GBK bytes.
text::Text 关于文本();
// How many times the About window's created event has fired in this process
// (for checks: the event has no visible effect on systems without glass).
int 关于窗口创建次数();

}  // namespace ui

// Clicked 按钮_选择1 ("关于") in the main window: open the About window modally.
void 按钮_选择1_被单击();
// Clicked 按钮1 ("更新") / 按钮2 ("捐助") in the About window.
void 关于窗口_按钮1_被单击();
void 关于窗口_按钮2_被单击();
