#include "app/start.h"

#include <cstdlib>

#include "app/program_values.h"
#include "app/runtime_error.h"
#include "effects/version_vista.h"
#include "effects/window_effects.h"
#include "files/source_list.h"
#include "platform/application.h"
#include "text/gbk_literal.h"
#include "ui/about_window.h"
#include "ui/loader.h"
#include "ui/main_window.h"

namespace {
int cleanup_runs = 0;
}

int 启动子程序(const std::vector<text::Text>& files) {
  原始文件路径.clear();
  特效对象 = std::make_unique<窗口特效>();
  std::atexit(清理子程序);
  if (ui::载入窗口(ui::主窗口定义(), false) == nullptr) {
    报告运行时错误(std::nullopt, "载入启动窗口失败"_gbk);
  }
  加入启动文件(files);
  platform::run_message_loop();
  return 0;
}

void 清理子程序() {
  ++cleanup_runs;
  现编码名.clear();
  现编码名.shrink_to_fit();
  原始文件路径.clear();
  原编码名.clear();
  原编码名.shrink_to_fit();
  特效对象.reset();
}

int 清理次数() { return cleanup_runs; }

namespace {

// Both windows get the glass look when they are created, on systems new
// enough to have it. A window loaded without the start routine (as checks
// do) has no effects object to ask.
void apply_effects(ui::窗口* window) {
  if (!是否Vista或更高()) return;
  if (window == nullptr || 特效对象 == nullptr) return;
  特效对象->玻璃化窗口(*window, true, true, true, true, true, true, true, true, true);
}

}  // namespace

void 主窗口_创建完毕() {
  apply_effects(ui::主窗口());
  原编码名 = "UTF-8"_gbk;
  现编码名 = "GB18030"_gbk;
}

void 关于窗口_创建完毕() { apply_effects(ui::取已载入窗口(ui::kAboutWindowId)); }
