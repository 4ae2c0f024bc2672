// The About window's page buttons: the desktop's opener is started with the
// address as its only argument and not waited for; when it cannot be
// started, the failure message box, and the About window stays.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>
#include <functional>

#include "platform/browser.h"
#include "platform/window.h"
#include "tests/about/about_fixture.h"
#include "tests/support/shown_window.h"
#include "text/encoding_boundary.h"
#include "text/gbk_literal.h"
#include "ui/about_window.h"
#include "ui/loader.h"

namespace {

std::string read_file(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = f.readAll();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool write_executable(const QString& path, const std::string& content) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly)) return false;
  f.write(content.data(), static_cast<qint64>(content.size()));
  f.close();
  return f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// What the recording opener writes for one call: the number of arguments,
// then each argument on a line of its own.
std::string recorded_call(const std::string& only_argument) {
  return "1\n" + only_argument + "\n";
}

// Puts a stand-in "xdg-open" first on PATH, or (without one) leaves PATH
// holding nothing but an empty folder; the old PATH comes back afterwards.
class OpenerOnPath {
 public:
  OpenerOnPath() {
    const char* old = std::getenv("PATH");
    had_path_ = old != nullptr;
    if (had_path_) old_path_ = old;
  }
  ~OpenerOnPath() {
    if (had_path_) {
      setenv("PATH", old_path_.c_str(), 1);
    } else {
      unsetenv("PATH");
    }
  }
  OpenerOnPath(const OpenerOnPath&) = delete;
  OpenerOnPath& operator=(const OpenerOnPath&) = delete;

  bool valid() const { return bin_.isValid() && work_.isValid(); }
  QString calls_file() const { return work_.filePath(QStringLiteral("calls")); }
  QString work_file(const char* name) const { return work_.filePath(QString::fromUtf8(name)); }

  // The opener appends its arguments to the calls file. With `then`, it runs
  // that shell text afterwards.
  bool install_recorder(const std::string& then = {}) {
    const std::string script = "#!/bin/sh\n{ echo \"$#\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } >> '" +
                               calls_file().toStdString() + "'\n" + then;
    if (!write_executable(bin_.filePath(QStringLiteral("xdg-open")), script)) return false;
    setenv("PATH", (bin_.path().toStdString() + ":" + old_path_).c_str(), 1);
    return true;
  }
  void remove_opener() { setenv("PATH", bin_.path().toStdString().c_str(), 1); }

 private:
  QTemporaryDir bin_;
  QTemporaryDir work_;
  bool had_path_ = false;
  std::string old_path_;
};

// Answers the next message box that appears: `look` sees it, then its OK
// button is clicked. Polls from the event loop that the box's own exec runs.
class MessageBoxAnswer {
 public:
  explicit MessageBoxAnswer(std::function<void(QMessageBox*)> look) : look_(std::move(look)) {
    QObject::connect(&poll_, &QTimer::timeout, [this] {
      if (QMessageBox* box = shown_window<QMessageBox>()) {
        poll_.stop();
        ++answered_;
        look_(box);
        if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
          QTest::mouseClick(ok, Qt::LeftButton);
        } else {
          box->done(0);  // never leave a test hanging on a wrong box
        }
      }
    });
  }
  void arm() { poll_.start(0); }
  int answered() const { return answered_; }

 private:
  std::function<void(QMessageBox*)> look_;
  QTimer poll_;
  int answered_ = 0;
};

QString utf8(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TEST_F(AboutWindowTest, PageButtonsHandTheAddressToTheOpenerAsItsOnlyArgument) {
  OpenerOnPath opener;
  ASSERT_TRUE(opener.valid());
  ASSERT_TRUE(opener.install_recorder());
  int boxes = 0;
  MessageBoxAnswer any_box([&](QMessageBox*) { ++boxes; });
  any_box.arm();

  const bool ran = with_about_open([&](QWidget* about) {
    auto* update = about->findChild<QPushButton*>(QStringLiteral("按钮1"));
    auto* donate = about->findChild<QPushButton*>(QStringLiteral("按钮2"));
    ASSERT_NE(update, nullptr);
    ASSERT_NE(donate, nullptr);

    QTest::mouseClick(update, Qt::LeftButton);
    const std::string after_update = recorded_call(ui::kUpdatePageAddress);
    EXPECT_TRUE(QTest::qWaitFor([&] { return read_file(opener.calls_file()) == after_update; }))
        << read_file(opener.calls_file());

    QTest::mouseClick(donate, Qt::LeftButton);
    const std::string after_both = after_update + recorded_call(ui::kDonationPageAddress);
    EXPECT_TRUE(QTest::qWaitFor([&] { return read_file(opener.calls_file()) == after_both; }))
        << read_file(opener.calls_file());

    EXPECT_TRUE(about->isVisible());
  });
  EXPECT_TRUE(ran);
  EXPECT_EQ(boxes, 0) << "a started opener shows nothing";
}

TEST(BrowserStart, AnAddressWithBlanksAndShellSignsArrivesAsOneArgument) {
  OpenerOnPath opener;
  ASSERT_TRUE(opener.valid());
  ASSERT_TRUE(opener.install_recorder());
  const std::string address =
      "https://example.com/a b;touch '" + opener.work_file("pwned").toStdString() +
      "' $(id) `id` \"q\" *|&>页";
  ASSERT_TRUE(platform::start_browser(text::from_utf8(address)));
  EXPECT_TRUE(QTest::qWaitFor([&] { return read_file(opener.calls_file()) == recorded_call(address); }))
      << read_file(opener.calls_file());
  EXPECT_FALSE(QFile::exists(opener.work_file("pwned")));
}

TEST(BrowserStart, ReturnsWithoutWaitingForTheOpenerToEnd) {
  OpenerOnPath opener;
  ASSERT_TRUE(opener.valid());
  // This opener keeps running until the test lets it go (or gives up after a
  // long while and says so).
  const std::string release = opener.work_file("release").toStdString();
  const std::string outcome = opener.work_file("outcome").toStdString();
  ASSERT_TRUE(opener.install_recorder("i=0\nwhile [ ! -e '" + release + "' ]; do\n"
                                      "  i=$((i+1)); [ $i -gt 600 ] && { echo gave-up > '" + outcome +
                                      "'; exit 0; }\n  sleep 0.1\ndone\necho released > '" +
                                      outcome + "'\n"));
  ASSERT_TRUE(platform::start_browser("https://example.com/"));
  // Back here while the opener still waits for us.
  QFile release_file(QString::fromStdString(release));
  ASSERT_TRUE(release_file.open(QIODevice::WriteOnly));
  release_file.close();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !read_file(QString::fromStdString(outcome)).empty(); }, 30000));
  EXPECT_EQ(read_file(QString::fromStdString(outcome)), "released\n");
  EXPECT_EQ(read_file(opener.calls_file()), recorded_call("https://example.com/"));
}

// Catches an opener that found no browser (xdg-open ends with 3) taken as
// a page opened: the button then failed silently.
TEST(BrowserStart, FailsWhenTheOpenerEndsWithAnError) {
  OpenerOnPath opener;
  ASSERT_TRUE(opener.valid());
  ASSERT_TRUE(opener.install_recorder("echo 'xdg-open: no method available for opening' >&2\nexit 3\n"));
  EXPECT_FALSE(platform::start_browser("https://example.com/"));
  EXPECT_EQ(read_file(opener.calls_file()), recorded_call("https://example.com/"));
  ASSERT_TRUE(opener.install_recorder("exit 0\n"));
  EXPECT_TRUE(platform::start_browser("https://example.com/"));
}

TEST(BrowserStart, FailsWhenThereIsNoOpener) {
  OpenerOnPath opener;
  ASSERT_TRUE(opener.valid());
  opener.remove_opener();
  EXPECT_FALSE(platform::start_browser("https://example.com/"));
}

TEST_F(AboutWindowTest, WithoutAnOpenerTheFailureBoxShowsAndTheWindowStays) {
  OpenerOnPath opener;
  ASSERT_TRUE(opener.valid());
  opener.remove_opener();
  std::vector<QString> texts;
  MessageBoxAnswer answer([&](QMessageBox* box) {
    texts.push_back(box->text());
    EXPECT_EQ(box->objectName(), QStringLiteral("bixiqin-message-box"));
    EXPECT_EQ(box->windowTitle(), QString::fromUtf8("信息："));
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->buttons().size(), 1);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(box->parentWidget(), nullptr) << "no owner window";
  });

  bool usable_after = false;
  bool closed_by_esc = false;
  const bool ran = with_about_open([&](QWidget* about) {
    auto* update = about->findChild<QPushButton*>(QStringLiteral("按钮1"));
    auto* donate = about->findChild<QPushButton*>(QStringLiteral("按钮2"));
    ASSERT_NE(update, nullptr);
    ASSERT_NE(donate, nullptr);
    answer.arm();
    QTest::mouseClick(update, Qt::LeftButton);  // returns once the box is closed
    EXPECT_EQ(answer.answered(), 1);
    EXPECT_TRUE(about->isVisible());
    answer.arm();
    QTest::mouseClick(donate, Qt::LeftButton);
    EXPECT_EQ(answer.answered(), 2);
    usable_after = about->isVisible() && ui::取已载入窗口(ui::kAboutWindowId) != nullptr &&
                   ui::取已载入窗口(ui::kAboutWindowId)->native().accepts_input();
    QTest::keyClick(about, Qt::Key_Escape);
    closed_by_esc = !about->isVisible();
  });
  ASSERT_TRUE(ran);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], utf8(std::string("打开 ") + ui::kUpdatePageAddress + " 失败？"));
  EXPECT_EQ(texts[1], utf8(std::string("打开 ") + ui::kDonationPageAddress + " 失败？"));
  EXPECT_TRUE(usable_after);
  EXPECT_TRUE(closed_by_esc);
  EXPECT_NE(main_window(), nullptr);
}
