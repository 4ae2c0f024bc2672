#pragma once
// The one way fatal run-time errors are reported: a message box, then the
// process ends with exit code -1 without the clean-up.
#include <optional>
#include <string_view>

[[noreturn]] void 报告运行时错误(std::optional<int> error_number, std::string_view gbk_message);

// "分配 %d 字节内存失败!" for a failed allocation of `bytes`.
[[noreturn]] void 报告内存分配失败(long long bytes);
