#pragma once
// The main window on real widgets, with real files in a temporary folder and
// the real open dialog, driven from inside its own loop. Shared by the source
// list and the batch tests.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/program_values.h"
#include "platform/frame_pacer.h"
#include "tests/support/open_dialog_driver.h"
#include "text/encoding_boundary.h"
#include "ui/loader.h"
#include "ui/main_window.h"

namespace fixture {

inline QString u(const char* utf8) { return QString::fromUtf8(utf8); }

// A path as the program holds it.
inline text::Text gbk(const QString& s) {
  const auto bytes = text::utf8_to_gb18030(s.toStdString());
  EXPECT_TRUE(bytes.has_value()) << s.toStdString();
  return bytes.value_or("");
}

inline QMessageBox* shown_message_box() { return shown_window<QMessageBox>(); }

// Puts `s` into the file name box as typing would (key events lose the
// leading quote of a list of names to the box's completer).
inline void type_text(QLineEdit* edit, const QString& s) {
  edit->setFocus();
  edit->setText(s);
}

// Runs `step` every time the batch run lets waiting messages through (a
// zero timer fires once per pass of the event loop).
class BetweenFiles {
 public:
  explicit BetweenFiles(std::function<void()> step) : step_(std::move(step)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      ++fired_;
      if (step_) step_();
    });
    timer_.start(0);
  }
  void stop() { timer_.stop(); }
  int fired() const { return fired_; }

 private:
  std::function<void()> step_;
  QTimer timer_;
  int fired_ = 0;
};

class MainWindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    cwd_before_ = QDir::currentPath();
    原编码名.clear();
    现编码名.clear();
    原始文件路径.clear();
    ASSERT_TRUE(temp_.isValid());
    root_ = QFileInfo(temp_.path()).canonicalFilePath();
    // Painted as the program paints: at the display's pace.
    platform::pace_painting();
    ASSERT_NE(ui::载入窗口(ui::主窗口定义(), false), nullptr);
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == u("启动窗口") && w->isVisible()) window_ = w;
    }
    ASSERT_NE(window_, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_));
  }

  void TearDown() override {
    if (QFileDialog* d = OpenDialogDriver::shown_dialog()) d->reject();
    if (ui::窗口* w = ui::主窗口()) w->关闭();
    EXPECT_TRUE(QTest::qWaitFor([] { return ui::主窗口() == nullptr; }, 5000));
    // The last window going asks the message loop to end; that request waits
    // for a loop to take it. A short application loop takes it here, or the
    // next test's nested loops (the open dialog's) would end at once.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QApplication::exec();
    原始文件路径.clear();
    QDir::setCurrent(cwd_before_);
  }

  // A folder below the temporary root, made if missing.
  QString folder(const QString& name) {
    const QString path = root_ + u'/' + name;
    EXPECT_TRUE(QDir().mkpath(path));
    return path;
  }

  static QString write_file(const QString& folder, const QString& name, const QByteArray& bytes) {
    const QString path = folder + u'/' + name;
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    EXPECT_EQ(f.write(bytes), bytes.size());
    return path;
  }

  static QByteArray read_file(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
  }

  template <class T = QWidget>
  T* child(const char* name) {
    T* w = window_ ? window_->findChild<T*>(u(name)) : nullptr;
    EXPECT_NE(w, nullptr) << name;
    return w;
  }

  // A user's click on a button of the main window.
  void click(const char* button) {
    if (auto* b = child<QPushButton>(button)) QTest::mouseClick(b, Qt::LeftButton);
  }

  QStringList items(const char* list) {
    QStringList all;
    if (auto* box = child<QListWidget>(list)) {
      for (int i = 0; i < box->count(); ++i) all << box->item(i)->text();
    }
    return all;
  }

  QString caption(const char* label) {
    auto* l = child<QLabel>(label);
    return l ? l->text() : QString();
  }

  static std::vector<text::Text> paths() {
    std::vector<text::Text> all;
    for (std::size_t p = 1; p <= 原始文件路径.size(); ++p) all.push_back(原始文件路径.at(p));
    return all;
  }

  static std::vector<text::Text> gbk_paths(const QStringList& list) {
    std::vector<text::Text> all;
    for (const QString& s : list) all.push_back(gbk(s));
    return all;
  }

  // Clicks "添加", then in the dialog goes to `in`, types the names (quoted
  // when several) and presses Open. Gives the files as the dialog listed
  // them, in its order.
  QStringList add_through_dialog(const QString& in, const QStringList& names) {
    QStringList chosen;
    OpenDialogDriver driver([&](QFileDialog& d) {
      d.setDirectory(in);
      auto* edit = d.findChild<QLineEdit*>(u("fileNameEdit"));
      ASSERT_NE(edit, nullptr);
      QString typed;
      if (names.size() == 1) {
        typed = names.front();
      } else {
        for (const QString& n : names) typed += u'"' + n + u("\" ");
      }
      type_text(edit, typed);
      QPushButton* open = d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
      ASSERT_TRUE(QTest::qWaitFor([&] { return open->isEnabled(); }, 5000));
      chosen = d.selectedFiles();
      QTest::mouseClick(open, Qt::LeftButton);
    });
    click("按钮_选择");
    EXPECT_TRUE(driver.acted());
    EXPECT_FALSE(driver.had_to_close()) << "the dialog did not take the files";
    return chosen;
  }

  // Clicks "添加" and cancels the dialog after choosing something in it.
  void cancel_dialog(const QString& in, const QString& name) {
    OpenDialogDriver driver([&](QFileDialog& d) {
      d.setDirectory(in);
      if (auto* edit = d.findChild<QLineEdit*>(u("fileNameEdit"))) type_text(edit, name);
      QPushButton* cancel = d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel);
      ASSERT_NE(cancel, nullptr);
      QTest::mouseClick(cancel, Qt::LeftButton);
    });
    click("按钮_选择");
    EXPECT_TRUE(driver.acted());
    EXPECT_FALSE(driver.had_to_close());
  }

  QString cwd_before_;
  QTemporaryDir temp_;
  QString root_;
  QWidget* window_ = nullptr;
};

}  // namespace fixture
