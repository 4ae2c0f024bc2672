#include "ui/about_window.h"

#include "app/start.h"
#include "platform/browser.h"
#include "platform/message_box.h"
#include "text/gbk_literal.h"
#include "ui/about_tune.h"
#include "ui/loader.h"

namespace ui {
namespace {

int created_count = 0;

// The created event: counted, then the effects step.
void 关于窗口_被创建() {
  ++created_count;
  关于窗口_创建完毕();
}

}  // namespace

int 关于窗口创建次数() { return created_count; }

text::Text 关于文本() {
  return text::join(
      "碧溪琴 1.0      作者  岚舟\r\n"_gbk,
      "\r\n",
      "下了一批小说，全是UTF-8编码，手机阅读软件显示不了～～\r\n"_gbk,
      "十几个文件懒得手动另存，花三个晚上写个小工具练手～～\r\n"_gbk,
      "\r\n",
      "用于把UTF-8小说文本等批量转换为GBK的小工具\r\n"_gbk,
      "开源，免费，捐助自愿，可在软件更新处下载到它的源代码～～\r\n"_gbk,
      "\r\n",
      "使用方法：添加完后选好原文本编码和要转换到的编码\r\n"_gbk,
      "然后点转换即可～～\r\n"_gbk,
      "\r\n",
      "有建议或BUG可发邮件邮箱 "_gbk, kAuthorMailAddress, "\r\n\r\n\r\n\r\n");
}

const 窗口定义& 关于窗口定义() {
  static const 窗口定义 definition = [] {
    窗口定义 d;
    d.名称 = "关于窗口";
    d.标识 = kAboutWindowId;
    d.标题 = "关于"_gbk;
    d.位置 = {50, 50, 380, 288};
    d.屏幕居中 = true;
    d.固定边框 = true;
    d.控制按钮 = true;
    d.最小化按钮 = false;
    d.最大化按钮 = false;
    d.可移动 = true;
    d.背景颜色 = platform::kButtonFace;
    d.有图标 = false;  // shows the program's icon
    d.背景音乐 = about_tune();
    d.播放次数 = 1;
    d.Esc键关闭 = true;
    d.随意移动 = false;
    d.在任务条中显示 = true;
    d.总在最前 = false;
    d.框架保持激活 = false;
    d.可视 = true;
    d.创建完毕 = 关于窗口_被创建;

    d.控件 = {
        按钮定义("按钮2", 0x160125E4, {234, 21, 88, 24}, "捐助"_gbk, 关于窗口_按钮2_被单击),
        按钮定义("按钮1", 0x160125E3, {42, 21, 88, 24}, "更新"_gbk, 关于窗口_按钮1_被单击),
        标签定义("标签1", 0x160125E2, {15, 70, 344, 178}, 关于文本(), 标签布局::左上换行),
    };
    return d;
  }();
  return definition;
}

}  // namespace ui

void 按钮_选择1_被单击() { ui::载入窗口(ui::关于窗口定义(), true); }

namespace {
// Opens a page in the user's browser; a failure to start it is reported.
void open_page(const char* address) {
  const text::Text gbk_address = address;  // ASCII: the same bytes in GBK
  if (!platform::start_browser(gbk_address)) {
    platform::message_box(text::join("打开 "_gbk, gbk_address, " 失败？"_gbk), "信息："_gbk,
                          platform::MessageIcon::none);
  }
}
}  // namespace

void 关于窗口_按钮1_被单击() { open_page(ui::kUpdatePageAddress); }
void 关于窗口_按钮2_被单击() { open_page(ui::kDonationPageAddress); }
