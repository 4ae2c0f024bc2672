#include "tests/about/about_fixture.h"

#include <QApplication>
#include <QObject>
#include <QTest>
#include <QTimer>

#include "ui/loader.h"
#include "ui/main_window.h"

QWidget* visible_window(const QString& name) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == name && w->isVisible()) return w;
  }
  return nullptr;
}

int visible_window_count(const QString& name) {
  int n = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == name && w->isVisible()) ++n;
  }
  return n;
}

void AboutWindowTest::SetUp() {
  ASSERT_NE(ui::载入窗口(ui::主窗口定义(), false), nullptr);
  ASSERT_NE(main_window(), nullptr);
}

void AboutWindowTest::TearDown() {
  if (QWidget* about = visible_window(QStringLiteral("关于窗口"))) about->close();
  if (ui::窗口* w = ui::主窗口()) w->关闭();
  EXPECT_TRUE(QTest::qWaitFor([] { return ui::主窗口() == nullptr; }));
  // The last window going asks the message loop to end, and that request
  // waits for a loop to take it, as on the real desktop. Here no program
  // follows, so a short application loop takes it up; otherwise the next
  // test's nested loops would end at once.
  QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
  QApplication::exec();
}

QPushButton* AboutWindowTest::main_button(const QString& name) const {
  QWidget* main = main_window();
  return main != nullptr ? main->findChild<QPushButton*>(name) : nullptr;
}

bool AboutWindowTest::with_about_open(const std::function<void(QWidget* about)>& inside) {
  QPushButton* about_button = main_button(QStringLiteral("按钮_选择1"));
  if (about_button == nullptr) return false;
  bool ran = false;
  // The context goes with this call, so a timer that never fired cannot
  // reach a later test.
  QObject context;
  QTimer::singleShot(0, &context, [&] {
    ran = true;
    QWidget* about = visible_window(QStringLiteral("关于窗口"));
    EXPECT_NE(about, nullptr);
    if (about != nullptr) inside(about);
    if (QWidget* still = visible_window(QStringLiteral("关于窗口"))) still->close();
  });
  QTest::mouseClick(about_button, Qt::LeftButton);
  return ran;
}
