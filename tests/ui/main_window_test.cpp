// The main window on real widgets: definition, loading, events and keys.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "app/program_values.h"
#include "convert/encoding_catalogue.h"
#include "platform/qt/qt_text.h"
#include "text/gbk_literal.h"
#include "ui/loader.h"
#include "ui/main_window.h"

#define QTRY_VERIFY_TRUE(expr) ASSERT_TRUE(QTest::qWaitFor([&] { return (expr); }, 5000))

namespace {

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    原编码名.clear();
    现编码名.clear();
    原始文件路径.clear();
    ASSERT_NE(ui::载入窗口(ui::主窗口定义(), false), nullptr);
    window = top_level();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
  }
  void TearDown() override {
    if (ui::窗口* w = ui::主窗口()) w->关闭();
    QTRY_VERIFY_TRUE(ui::主窗口() == nullptr);
  }

  static QWidget* top_level() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == u("启动窗口") && w->isVisible()) return w;
    }
    return nullptr;
  }
  template <class T>
  T* child(const char* name) {
    return window->findChild<T*>(u(name));
  }

  QWidget* window = nullptr;
};

TEST_F(MainWindowTest, CaptionGeometryAndFrame) {
  EXPECT_EQ(window->windowTitle(), u("碧溪琴-批量转码工具1.0       本软件由澄语编写"));
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  // The outer rectangle, frame included, is the defined size, its top-left
  // corner centred with integer division.
  QTRY_VERIFY_TRUE(window->frameGeometry().size() == QSize(605, 363));
  EXPECT_EQ(window->frameGeometry().topLeft(),
            QPoint((screen.width() - 605) / 2, (screen.height() - 363) / 2));
  EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "the frame must not be resizable";
  EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(window->windowFlags() & Qt::WindowCloseButtonHint);
  // The program's own 48×48 picture, not an icon naming a missing resource
  // (which is not "null" either).
  EXPECT_EQ(window->windowIcon().pixmap(48, 48).size(), QSize(48, 48));
  EXPECT_EQ(ui::主窗口()->定义().标识, 0x52010001u);
}

TEST_F(MainWindowTest, TenControlsAsDefined) {
  struct Expect {
    const char* name;
    QRect rect;
    const char* caption;
    const char* type;
  };
  const Expect expected[] = {
      {"按钮_选择1", {532, 11, 61, 28}, "关于", "QPushButton"},
      {"组合框_原编码", {76, 16, 181, 20}, "#编码_UTF_8  ", "QComboBox"},
      {"按钮_转换", {267, 8, 64, 32}, "转换", "QPushButton"},
      {"组合框_现编码", {346, 16, 181, 20}, "#编码_GB18030 简中 最新", "QComboBox"},
      {"按钮2", {271, 300, 61, 28}, "清空", "QPushButton"},
      {"标签_现信息", {339, 299, 244, 24}, "标签", "QLabel"},
      {"标签_原信息", {15, 299, 244, 24}, "标签", "QLabel"},
      {"列表框_现在", {339, 56, 244, 232}, "", "QListWidget"},
      {"列表框_原始", {15, 56, 244, 232}, "", "QListWidget"},
      {"按钮_选择", {8, 11, 61, 28}, "添加", "QPushButton"},
  };
  auto live = ui::主窗口()->取控件列表();
  ASSERT_EQ(live.size(), 10u);
  for (std::size_t i = 0; i < 10; ++i) {
    const Expect& e = expected[i];
    SCOPED_TRACE(e.name);
    EXPECT_EQ(live[i]->名称(), e.name) << "definition order";
    QWidget* w = child<QWidget>(e.name);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->inherits(e.type)) << w->metaObject()->className();
    EXPECT_EQ(w->geometry(), e.rect);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->isEnabled());
    EXPECT_EQ(live[i]->标题(), text::from_utf8(e.caption));
  }
  // Stacking follows the definition order: the first control is on top.
  const QObjectList kids = window->children();
  std::vector<QString> stacked;
  for (QObject* o : kids) {
    if (auto* w = qobject_cast<QWidget*>(o); w && !w->objectName().isEmpty()) stacked.push_back(w->objectName());
  }
  ASSERT_EQ(stacked.size(), 10u);
  EXPECT_EQ(stacked.back(), u("按钮_选择1"));
  EXPECT_EQ(stacked.front(), u("按钮_选择"));

  auto* source = child<QComboBox>("组合框_原编码");
  auto* target = child<QComboBox>("组合框_现编码");
  ASSERT_EQ(source->count(), 3);
  EXPECT_EQ(source->itemText(0), u("#编码_GBK  简体中文"));
  EXPECT_EQ(source->itemText(1), u("#编码_GB18030  简体中文 最新"));
  EXPECT_EQ(source->itemText(2), u("#编码_UTF_8  "));
  EXPECT_EQ(target->itemText(0), u("#编码_GBK  简体中文"));
  EXPECT_EQ(target->itemText(1), u("#编码_GB18030 简中 最新"));
  EXPECT_EQ(target->itemText(2), u("#编码_UTF_8"));
  EXPECT_FALSE(source->isEditable());
  EXPECT_EQ(child<QListWidget>("列表框_原始")->count(), 0);
  EXPECT_EQ(child<QListWidget>("列表框_现在")->count(), 0);
  EXPECT_EQ(child<QLabel>("标签_原信息")->focusPolicy(), Qt::NoFocus);
}

TEST_F(MainWindowTest, CreatedHandlerSetsTheStartEncodings) {
  EXPECT_EQ(原编码名, "UTF-8");
  EXPECT_EQ(现编码名, "GB18030");
}

// Picks item `row` the way a user does: open the list, click the item.
void pick(QComboBox* combo, int row) {
  combo->showPopup();
  QAbstractItemView* view = combo->view();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
  const QRect r = view->visualRect(view->model()->index(row, 0));
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, r.center());
}

TEST_F(MainWindowTest, PickingAnItemChangesOnlyItsOwnValueAfterThePick) {
  auto* target = child<QComboBox>("组合框_现编码");
  pick(target, 0);
  // The handler is posted: it has not run when the click returns.
  EXPECT_EQ(现编码名, "GB18030");
  QTRY_VERIFY_TRUE(现编码名 == "GBK");
  EXPECT_EQ(原编码名, "UTF-8");

  auto* source = child<QComboBox>("组合框_原编码");
  pick(source, 1);
  QTRY_VERIFY_TRUE(原编码名 == "GB18030");
  EXPECT_EQ(现编码名, "GBK");

  // The same encoding on both sides is allowed.
  pick(target, 1);
  QTRY_VERIFY_TRUE(现编码名 == "GB18030");
}

TEST_F(MainWindowTest, DismissedListProgramSelectionAndNoSelectionLeaveTheValue) {
  auto* source = child<QComboBox>("组合框_原编码");
  source->showPopup();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(source->view()->window()));
  QTest::keyClick(source->view(), Qt::Key_Escape);
  QTest::qWait(50);
  EXPECT_EQ(原编码名, "UTF-8");

  source->setCurrentIndex(0);
  QTest::qWait(50);
  EXPECT_EQ(原编码名, "UTF-8") << "a selection made by the program fires nothing";

  source->setCurrentIndex(-1);
  组合框_原编码_列表项被选择();
  EXPECT_EQ(原编码名, "UTF-8") << "no selection keeps the value";
  EXPECT_FALSE(编码名称(3).has_value());
  EXPECT_FALSE(编码名称(-1).has_value());
}

TEST_F(MainWindowTest, TabWalksTheReverseDefinitionOrderBothWays) {
  const std::vector<QString> forward = {u("按钮_选择"),     u("列表框_原始"),   u("列表框_现在"),
                                        u("按钮2"),         u("组合框_现编码"), u("按钮_转换"),
                                        u("组合框_原编码"), u("按钮_选择1"),    u("按钮_选择")};
  window->activateWindow();
  child<QWidget>("按钮_选择")->setFocus();
  QTRY_VERIFY_TRUE(QApplication::focusWidget() == child<QWidget>("按钮_选择"));
  for (std::size_t i = 1; i < forward.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget()->objectName(), forward[i]) << "step " << i;
  }
  for (std::size_t i = forward.size() - 1; i-- > 0;) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(QApplication::focusWidget()->objectName(), forward[i]) << "back to " << i;
  }
  // Disabled controls are skipped.
  child<QWidget>("列表框_原始")->setEnabled(false);
  child<QWidget>("按钮_选择")->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget()->objectName(), u("列表框_现在"));
}

TEST_F(MainWindowTest, DraggingTheBackgroundOrALabelMovesTheWindowButNotAButton) {
  // A click, even one whose pointer slips by less than the drag distance,
  // moves nothing.
  const QPoint before_click = window->pos();
  const int slip = QApplication::startDragDistance() - 1;
  QTest::mousePress(window, Qt::LeftButton, {}, QPoint(300, 45));
  QTest::mouseMove(window, QPoint(300 + slip, 45));
  QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(300 + slip, 45));
  QCoreApplication::processEvents();
  EXPECT_EQ(window->pos(), before_click);

  const QPoint start = window->pos();
  QWidget* label = child<QWidget>("标签_原信息");
  QTest::mousePress(label, Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseMove(label, QPoint(40, 30));
  QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(40, 30));
  QTRY_VERIFY_TRUE(window->pos() == start + QPoint(30, 20));

  const QPoint second = window->pos();
  QTest::mousePress(window, Qt::LeftButton, {}, QPoint(300, 45));
  QTest::mouseMove(window, QPoint(290, 50));
  QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(290, 50));
  QTRY_VERIFY_TRUE(window->pos() == second + QPoint(-10, 5));

  const QPoint third = window->pos();
  QWidget* button = child<QWidget>("按钮_转换");
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseMove(button, QPoint(40, 25));
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(40, 25));
  QTest::qWait(20);
  EXPECT_EQ(window->pos(), third);
}

TEST_F(MainWindowTest, LabelShowsAnAmpersandLiterally) {
  ui::主窗口控件::标签_现信息().置标题("甲&乙"_gbk);
  EXPECT_EQ(child<QLabel>("标签_现信息")->text(), u("甲&乙"));
  EXPECT_EQ(child<QLabel>("标签_现信息")->textFormat(), Qt::PlainText);
  EXPECT_EQ(ui::主窗口控件::标签_现信息().标题(), "甲&乙"_gbk);
}

TEST_F(MainWindowTest, LoadingAgainBringsTheOpenWindowToTheFront) {
  ui::窗口* first = ui::主窗口();
  EXPECT_EQ(ui::载入窗口(ui::主窗口定义(), false), first);
  int count = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == u("启动窗口")) ++count;
  }
  EXPECT_EQ(count, 1);
}

TEST_F(MainWindowTest, EscClosesTheWindowWhicheverControlHasTheFocus) {
  QWidget* list = child<QWidget>("列表框_现在");
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Escape);
  QTRY_VERIFY_TRUE(ui::主窗口() == nullptr);
}

}  // namespace
