#include "convert/batch_conversion.h"

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/program_values.h"
#include "convert/look_ahead.h"
#include "convert/namer.h"
#include "convert/reason_text.h"
#include "convert/single_file.h"
#include "files/path_split.h"
#include "files/source_list.h"
#include "platform/application.h"
#include "platform/message_box.h"
#include "platform/source_file.h"
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

// A run of one file smaller than this converts it at once, here: it takes
// a few milliseconds, less than starting a thread and waiting for it.
constexpr std::uint64_t kAloneBelow = std::uint64_t{1} << 20;

// The workers of a run, ended before the run's handler returns. While they
// stop (a file in flight ends at its next piece) the window is served.
class Workers {
 public:
  explicit Workers(std::unique_ptr<LookAhead> ahead)
      : ahead_(std::move(ahead)), namer_(ahead_ ? std::make_unique<Namer>(platform::wake_message_loop) : nullptr) {}
  ~Workers() {
    if (!ahead_) return;
    ahead_->stop();
    platform::serve_messages_until([this] { return ahead_->stopped(); });
  }
  Workers(const Workers&) = delete;
  Workers& operator=(const Workers&) = delete;
  LookAhead* get() const { return ahead_ && ahead_->working() ? ahead_.get() : nullptr; }
  Namer* namer() const { return namer_ && namer_->working() ? namer_.get() : nullptr; }

 private:
  std::unique_ptr<LookAhead> ahead_;
  std::unique_ptr<Namer> namer_;
};

std::unique_ptr<LookAhead> workers_for(std::vector<text::Text> paths) {
  if (paths.empty()) return nullptr;
  if (paths.size() == 1) {
    const std::optional<std::uint64_t> size = platform::regular_file_size(paths.front());
    if (!size || *size < kAloneBelow) return nullptr;
  }
  return std::make_unique<LookAhead>(std::move(paths), 原编码名, 现编码名, LookAhead::Limits{},
                                     platform::wake_message_loop);
}

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
  const auto stopped = [&](int P) {
    return 源列表清空次数() != clears_at_start || ui::主窗口() == nullptr ||
           static_cast<std::size_t>(P) > 原始文件路径.size();
  };
  // Files are converted ahead on worker threads; each output is named only
  // when the run reaches it below, in list order. Rows 1..N cannot change
  // under the run without stopping it: clearing stops it, added files go below.
  std::vector<text::Text> paths;
  paths.reserve(static_cast<std::size_t>(N));
  for (int P = 1; P <= N; ++P) paths.push_back(原始文件路径.at(static_cast<std::size_t>(P)));
  const Workers workers(workers_for(std::move(paths)));

  // Files converted so far in this run: the label counts these, so that a
  // file that failed is never reported as converted.
  long long converted = 0;
  for (int P = 1; P <= N; ++P) {
    platform::process_waiting_messages();
    if (stopped(P)) return;
    const std::size_t index = static_cast<std::size_t>(P - 1);
    const text::Text 原编码 = 原编码名;
    const text::Text 现编码 = 现编码名;
    转换结果 result;
    if (LookAhead* ahead = workers.get()) {
      ahead->set_encodings(index, 原编码, 现编码);
      std::optional<预备转换> prepared;
      while (!prepared) {
        // The window is served while the file converts; a file in flight
        // when the run stops is dropped unnamed.
        platform::serve_messages_until([&] { return stopped(P) || ahead->ready(index); });
        if (stopped(P)) return;
        prepared = ahead->take(index);
      }
      if (Namer* namer = workers.namer()) {
        namer->name(std::move(*prepared));
        std::optional<转换结果> named;
        platform::serve_messages_until([&] { return (named = namer->result()).has_value(); });
        // Cleared or closed while it was named: as if listed, then cleared.
        if (stopped(P)) return;
        result = std::move(*named);
      } else {
        result = 完成转换(std::move(*prepared));
      }
    } else {
      // Still row P's path: nothing was served since the check above.
      result = 转换单个文件(原始文件路径.at(static_cast<std::size_t>(P)), 原编码, 现编码);
    }
    // Row P of the source list is file P: the run stops above once the list
    // has been cleared, and added files go below.
    const int row = P - 1;
    const text::Text 说明 = 转换说明(result, 原编码, 现编码);
    if (!result.已转换) {
      列表框_原始().mark_item(row, platform::ItemMark::failed,
                            result.建议编码.empty() ? 说明 : text::join(说明, "\r\n", 编码建议(result.建议编码)));
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
