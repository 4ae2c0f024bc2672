// The list box skips repainting its visible rows when rows are only appended
// below them, and its scroll bar skips range changes that move nothing. What the window shows (the backing store, read back from the
// screen) must still equal a fresh rendering of the list after every kind of
// change: appends in and out of sight, the scroll bar appearing, edits,
// removals, clearing, and rows' marks (against a fresh list box given the
// same marks).
#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QToolTip>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

#include "platform/qt/list_box_widget.h"

namespace {

class ListBoxPaintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    top.resize(kBeside + 300, 260);
    list = new platform::ListBoxWidget(&top);
    list->setGeometry(10, 10, 244, 232);
    list->setFocusPolicy(Qt::NoFocus);
    top.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
    settle();
  }

  // As between two files of a batch run.
  static void settle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
  }

  // Whether the list as the window shows it equals the list drawn anew,
  // once rows appended out of sight have been laid out (a moment later).
  // With marks, the fresh list is a list box of its own given the same marks.
  bool shows_what_it_holds(bool with_marks = false) {
    QTest::qWait(200);
    const QImage on_screen = shown();
    const QImage f = fresh(with_marks);
    return !on_screen.isNull() && on_screen == f;
  }

  // The list as the window shows it (its backing store).
  QImage shown() const { return grab_screen(list->geometry()); }

  QImage grab_screen(const QRect& area) const {
    return top.screen()->grabWindow(top.winId()).toImage().convertToFormat(QImage::Format_RGB32).copy(
        area);
  }
  // A plain list view beside it, given the same rows and scroll position at
  // once and drawn anew, as the window shows it.
  QImage fresh(bool with_marks = false) {
    std::unique_ptr<QListWidget> made(with_marks ? new platform::ListBoxWidget(&top)
                                                 : new QListWidget(&top));
    QListWidget& plain = *made;
    plain.setGeometry(list->geometry().translated(kBeside, 0));
    plain.setUniformItemSizes(true);
    plain.setFocusPolicy(Qt::NoFocus);
    for (int i = 0; i < list->count(); ++i) {
      plain.addItem(list->item(i)->text());
      if (with_marks) plain.item(i)->setData(kMark, list->item(i)->data(kMark));
    }
    plain.show();
    settle();
    plain.verticalScrollBar()->setValue(list->verticalScrollBar()->value());
    settle();
    return grab_screen(plain.geometry());
  }

  void append_one_by_one(int count, const QString& stem) {
    for (int i = 0; i < count; ++i) {
      list->addItem(stem + QString::number(list->count() + 1));
      settle();
    }
  }

  static constexpr int kBeside = 280;
  static constexpr int kMark = platform::ListBoxWidget::kMarkRole;
  QWidget top;
  platform::ListBoxWidget* list = nullptr;
};

}  // namespace

TEST_F(ListBoxPaintTest, AppendsInAndOutOfSightShowWhatTheListHolds) {
  // A few visible rows first, then enough to bring the scroll bar and many
  // rows out of sight; long names, so narrowing the rows changes them.
  append_one_by_one(5, QStringLiteral("GB18030  第"));
  EXPECT_TRUE(shows_what_it_holds()) << "visible appends";
  append_one_by_one(40, QStringLiteral("GB18030  一个很长很长很长很长很长的文件名第"));
  EXPECT_TRUE(list->verticalScrollBar()->isVisible());
  EXPECT_TRUE(shows_what_it_holds()) << "appends out of sight";
}

TEST_F(ListBoxPaintTest, EditsRemovalsAndClearingAreRepaintedAfterHiddenAppends) {
  append_one_by_one(30, QStringLiteral("a"));
  list->addItem(QStringLiteral("hidden"));
  list->item(0)->setText(QStringLiteral("changed before the layout"));
  settle();
  EXPECT_TRUE(shows_what_it_holds()) << "edit";

  append_one_by_one(3, QStringLiteral("b"));
  list->addItem(QStringLiteral("hidden too"));
  delete list->takeItem(1);
  settle();
  EXPECT_TRUE(shows_what_it_holds()) << "removal";

  list->clear();
  settle();
  append_one_by_one(2, QStringLiteral("c"));
  EXPECT_TRUE(shows_what_it_holds()) << "cleared, then appended";

  append_one_by_one(30, QStringLiteral("d"));
  list->scrollToBottom();
  settle();
  append_one_by_one(3, QStringLiteral("e"));
  EXPECT_TRUE(shows_what_it_holds()) << "scrolled to the end, then appended";
}

// Long enough for the handle to shrink to its smallest and stop moving, then
// scrolled, so that a range change skipped too eagerly would show.
TEST_F(ListBoxPaintTest, TheScrollBarShowsTheRangeAfterManyAppends) {
  append_one_by_one(400, QStringLiteral("f"));
  EXPECT_TRUE(shows_what_it_holds()) << "400 rows";
  list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum() / 2);
  settle();
  append_one_by_one(50, QStringLiteral("g"));
  EXPECT_TRUE(shows_what_it_holds()) << "scrolled half-way, 50 more";
  list->scrollToBottom();
  settle();
  append_one_by_one(1, QStringLiteral("h"));
  EXPECT_TRUE(shows_what_it_holds()) << "at the end, one more";
}

// A row appended out of sight and given its tooltip (as a run's result list
// does with each file) repaints nothing in sight. A mark in sight shows the
// moment it is set, also while appended rows wait for their layout; one out
// of sight shows when scrolled to; clearing takes every mark away.
TEST_F(ListBoxPaintTest, MarksAndTooltipsShowWhereTheyAreSet) {
  using platform::ItemMark;
  append_one_by_one(30, QStringLiteral("a"));
  QTest::qWait(200);
  struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) ++paints;
      return false;
    }
  } counter;
  list->viewport()->installEventFilter(&counter);
  list->addItem(QStringLiteral("hidden"));
  list->set_mark(list->count() - 1, ItemMark::none, QStringLiteral("/a/path"));
  settle();
  QTest::qWait(200);
  list->viewport()->removeEventFilter(&counter);
  EXPECT_EQ(counter.paints, 0) << "a tooltip out of sight repainted the rows in sight";

  list->addItem(QStringLiteral("hidden too"));
  list->set_mark(1, ItemMark::failed, QStringLiteral("why"));
  list->set_mark(2, ItemMark::warning, QStringLiteral("careful"));
  list->set_mark(list->count() - 1, ItemMark::failed, QStringLiteral("why too"));
  settle();
  EXPECT_TRUE(shows_what_it_holds(true)) << "marks in sight";
  EXPECT_NE(shown(), fresh(false)) << "the marks show at all";

  list->scrollToBottom();
  settle();
  EXPECT_TRUE(shows_what_it_holds(true)) << "the mark of a row appended out of sight";

  list->clear_marks();
  settle();
  EXPECT_TRUE(shows_what_it_holds()) << "cleared";
  EXPECT_TRUE(list->item(list->count() - 2)->toolTip().isEmpty());
}

// Catches a tooltip shown as rich text, which the tooltip wraps at a narrow
// width of its own, splitting a path or a reason inside its words: a text
// that fits the screen is one line per line of its own.
TEST_F(ListBoxPaintTest, ATooltipIsOneLineForEachOfItsLinesWhenItFitsTheScreen) {
  list->addItem(QStringLiteral("a"));
  const QString reason = QString::fromUtf8("第 12 行第 345 列：不是有效的 UTF-8 字节 (B5)\n看起来是 GBK 编码：原编码请选 GBK");
  const QString path = QString::fromUtf8("/home/reader/书架/三国演义 第一百二十回 最终章  <b>完</b>.txt");
  for (const QString& tip : {reason, path}) {
    list->set_mark(0, platform::ItemMark::failed, tip);
    const QRect r = list->visualItemRect(list->item(0));
    QHelpEvent hover(QEvent::ToolTip, r.center(), list->viewport()->mapToGlobal(r.center()));
    QCoreApplication::sendEvent(list->viewport(), &hover);
    ASSERT_TRUE(QToolTip::isVisible());
    QLabel* label = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->inherits("QTipLabel") && w->isVisible()) label = qobject_cast<QLabel*>(w);
    }
    ASSERT_NE(label, nullptr);
    const QFontMetrics fm(label->font());
    int widest = 0;
    for (const QString& line : tip.split(QLatin1Char('\n'))) widest = std::max(widest, fm.horizontalAdvance(line));
    const int lines = static_cast<int>(tip.count(QLatin1Char('\n'))) + 1;
    EXPECT_GE(label->contentsRect().width(), widest) << tip.toStdString();
    EXPECT_LT(label->contentsRect().height(), (lines + 1) * fm.lineSpacing()) << tip.toStdString();
    QToolTip::hideText();
    QTest::qWait(50);
  }
}
