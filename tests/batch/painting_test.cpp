// A run sets the label and the list once per file, thousands of times a
// second; the window paints them at the display's pace, and what it paints
// last is what they hold last.
#include <QElapsedTimer>

#include "platform/application.h"
#include "tests/source_list/main_window_fixture.h"
#include "text/gbk_literal.h"

namespace {

using fixture::u;

// Counts the paints of one widget and remembers the text it painted last.
class PaintWatch : public QObject {
 public:
  explicit PaintWatch(QLabel* label) : label_(label) { label->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) {
      ++paints;
      painted = label_->text();
    }
    return false;
  }
  int paints = 0;
  QString painted;

 private:
  QLabel* label_;
};

class Painting : public fixture::MainWindowFixture {};

TEST_F(Painting, ABurstOfCaptionsIsPaintedAtMostOncePerFrameAndEndsOnTheLastOne) {
  auto* label = child<QLabel>("标签_现信息");
  ASSERT_NE(label, nullptr);
  const qreal rate = label->screen()->refreshRate();
  const double frame_ms = 1000.0 / (rate >= 20 && rate <= 500 ? rate : 60.0);
  QTest::qWait(100);  // whatever the window painted at first is done

  PaintWatch watch(label);
  constexpr int kFiles = 400;
  QElapsedTimer clock;
  clock.start();
  for (int i = 1; i <= kFiles; ++i) {
    // As the run does for each converted file.
    ui::主窗口控件::标签_现信息().置标题(
        text::join("成功转换了"_gbk, text::decimal(i), "个文件～～"_gbk));
    platform::process_waiting_messages();
  }
  const double elapsed_ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
  const int during_burst = watch.paints;
  // One paint at once, then at most one more per frame that began.
  EXPECT_LE(during_burst, static_cast<int>(elapsed_ms / frame_ms) + 2)
      << kFiles << " captions in " << elapsed_ms << " ms";

  QTest::qWait(static_cast<int>(3 * frame_ms) + 50);
  EXPECT_EQ(watch.painted, u("成功转换了400个文件～～")) << "the last change never reached the screen";
}

}  // namespace
