#include "convert/batch_conversion.h"

#include "app/program_values.h"
#include "convert/reason_text.h"
#include "convert/single_file.h"
#include "files/path_split.h"
#include "files/source_list.h"
#include "platform/application.h"
#include "platform/message_box.h"
#include "text/gbk_literal.h"
#include "ui/main_window.h"

namespace {

class RunGuard {
 public:
  explicit RunGuard(bool& running) : running_(running) { running_ = true; }
  ~RunGuard() { running_ = false; }
  RunGuard(const RunGuard&) = delete;
  RunGuard& operator=(const RunGuard&) = delete;

 private:
  bool& running_;
};

bool run_in_progress = false;

}  // namespace

void 按钮_转换_被单击() {
  if (run_in_progress) return;
  using namespace ui::主窗口控件;

  const int M = 列表框_原始().取项目数();
  if (static_cast<std::size_t>(M) != 原始文件路径.size()) {
    platform::message_box("数组这里 出错了？"_gbk, "信息："_gbk, platform::MessageIcon::none);
    return;
  }
  列表框_现在().清空();
  // Marks say what became of each file in the last run only.
  列表框_原始().clear_item_marks();
  const int N = 列表框_原始().取项目数();

  RunGuard guard(run_in_progress);
  const unsigned long clears_at_start = 源列表清空次数();
  // Files converted so far in this run: the label counts these, so that a
  // file that failed is never reported as converted.
  long long converted = 0;
  for (int P = 1; P <= N; ++P) {
    platform::process_waiting_messages();
    if (源列表清空次数() != clears_at_start || ui::主窗口() == nullptr ||
        static_cast<std::size_t>(P) > 原始文件路径.size()) {
      return;
    }
    const text::Text S = 原始文件路径.at(static_cast<std::size_t>(P));
    const text::Text 原编码 = 原编码名;
    const text::Text 现编码 = 现编码名;
    const 转换结果 result = 转换单个文件(S, 原编码, 现编码);
    // Row P of the source list is file P: the run stops above once the list
    // has been cleared, and added files go below.
    const int row = P - 1;
    const text::Text 说明 = 转换说明(result, 原编码, 现编码);
    if (!result.已转换) {
      列表框_原始().mark_item(row, platform::ItemMark::failed, 说明);
      continue;
    }
    if (result.also_valid_utf8) {
      列表框_原始().mark_item(row, platform::ItemMark::warning, text::join(编码提醒(原编码), "\r\n", 说明));
    } else {
      列表框_原始().mark_item(row, platform::ItemMark::none, 说明);
    }
    ++converted;
    ui::控件& 结果 = 列表框_现在();
    结果.加入项目(取路径名或网址左右(result.输出路径, 1));
    结果.mark_item(结果.取项目数() - 1, platform::ItemMark::none, result.输出路径);
    标签_现信息().置标题(text::join("成功转换了"_gbk, text::decimal(converted), "个文件～～"_gbk));
  }
}
