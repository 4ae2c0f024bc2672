// The whole program in a child process: normal end, clean-up, and the
// run-time error report with its exit code.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

#include "app/program_values.h"
#include "app/runtime_error.h"
#include "app/start.h"
#include "tests/support/shown_window.h"
#include "text/gbk_literal.h"
#include "ui/main_window.h"

namespace {

void report_cleanup_at_exit() {
  std::fprintf(stderr, "cleanup-runs=%d source=[%s] target=[%s]\n", 清理次数(), 原编码名.c_str(),
               现编码名.c_str());
}

// Runs `action` once the event loop is going.
void soon(std::function<void()> action) { QTimer::singleShot(50, std::move(action)); }

TEST(StartRoutine, EscEndsTheProgramWithCodeZeroAndOneCleanUp) {
  EXPECT_EXIT(
      {
        std::atexit(report_cleanup_at_exit);  // runs after the clean-up
        soon([] {
          std::fprintf(stderr, "start: source=[%s] target=[%s] paths=%zu\n", 原编码名.c_str(),
                       现编码名.c_str(), 原始文件路径.size());
          for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == QStringLiteral("启动窗口")) {
              w->findChild<QWidget*>(QStringLiteral("列表框_原始"))->setFocus();
              QTest::keyClick(w->findChild<QWidget*>(QStringLiteral("列表框_原始")), Qt::Key_Escape);
            }
          }
        });
        std::exit(启动子程序());
      },
      ::testing::ExitedWithCode(0),
      "start: source=\\[UTF-8\\] target=\\[GB18030\\] paths=0\n.*cleanup-runs=1 source=\\[\\] target=\\[\\]");
}

// Reads the message box that is showing, prints what it says, presses OK.
void answer_message_box() {
  QTimer::singleShot(50, [] {
    if (QMessageBox* box = shown_window<QMessageBox>()) {
      std::fprintf(stderr, "title=%s|icon=%d|buttons=%zu|text=%s|\n", box->windowTitle().toUtf8().constData(),
                   static_cast<int>(box->icon()), static_cast<std::size_t>(box->buttons().size()),
                   box->text().toUtf8().constData());
      box->button(QMessageBox::Ok)->click();
      return;
    }
    answer_message_box();
  });
}

TEST(RuntimeErrorReport, NumberedErrorTextTitleIconAndExitCode) {
  EXPECT_EXIT(
      {
        std::atexit(report_cleanup_at_exit);  // must not run
        answer_message_box();
        报告运行时错误(5, "测试消息"_gbk);
      },
      ::testing::ExitedWithCode(255),
      "title=错误\\|icon=3\\|buttons=1\\|text=运行时出错!\r\n\r\n错误代码：5\r\n\r\n错误信息：测试消息\r\n\\|\n$");  // nothing after: no clean-up
}

TEST(RuntimeErrorReport, UnnumberedErrorsForLoadingAndAllocation) {
  EXPECT_EXIT(
      {
        answer_message_box();
        报告运行时错误(std::nullopt, "载入启动窗口失败"_gbk);
      },
      ::testing::ExitedWithCode(255),
      "title=错误\\|icon=3\\|buttons=1\\|text=运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n\\|");
  EXPECT_EXIT(
      {
        answer_message_box();
        报告内存分配失败(1048576);
      },
      ::testing::ExitedWithCode(255), "text=运行时出错!\r\n\r\n错误信息：分配 1048576 字节内存失败!\r\n\\|");
}

TEST(RuntimeErrorReport, AFailedAllocationIsReported) {
  EXPECT_EXIT(
      {
        answer_message_box();
        volatile std::size_t huge = std::size_t(1) << 46;  // 64 TiB
        char* p = new char[huge];
        std::fprintf(stderr, "allocated %p\n", static_cast<void*>(p));
        std::exit(0);
      },
      ::testing::ExitedWithCode(255), "text=运行时出错!\r\n\r\n错误信息：分配 70368744177664 字节内存失败!\r\n\\|");
}

}  // namespace
