#include "app/runtime_error.h"

#include "platform/application.h"
#include "platform/message_box.h"
#include "text/gbk_literal.h"

void 报告运行时错误(std::optional<int> error_number, std::string_view gbk_message) {
  text::Text report = "运行时出错!\r\n\r\n"_gbk;
  if (error_number) {
    report += text::join("错误代码："_gbk, text::decimal(*error_number), "\r\n\r\n");
  }
  report += text::join("错误信息："_gbk, gbk_message, "\r\n");
  platform::message_box(report, "错误"_gbk, platform::MessageIcon::error);
  platform::exit_process_now(-1);
}

void 报告内存分配失败(long long bytes) {
  报告运行时错误(std::nullopt, text::join("分配 "_gbk, text::decimal(bytes), " 字节内存失败!"_gbk));
}
