// The multi-file open dialog end to end: the real file dialog on the
// offscreen platform, real files in temporary folders, the real current
// directory.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <string>

#include "files/open_dialog.h"
#include "tests/support/open_dialog_driver.h"
#include "text/encoding_boundary.h"
#include "text/gbk_literal.h"

namespace {

text::Text gbk(const QString& s) {
  const auto bytes = text::utf8_to_gb18030(s.toStdString());
  EXPECT_TRUE(bytes.has_value());
  return bytes.value_or("");
}

QString from_gbk(const text::Text& t) {
  const auto utf8 = text::gb18030_to_utf8(t);
  EXPECT_TRUE(utf8.has_value());
  return QString::fromStdString(utf8.value_or(""));
}

text::Text joined(const QStringList& paths) {
  return gbk(paths.join(QStringLiteral("\r\n")));
}

// What the Open button does (QFileDialog keeps its override protected).
void accept(QFileDialog& dialog) { static_cast<QDialog&>(dialog).accept(); }

// A click delivered through the window system, where modal blocking applies.
void click_through_window(QWidget* button) {
  QWindow* window = button->window()->windowHandle();
  ASSERT_NE(window, nullptr);
  QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier,
                    button->mapTo(button->window(), button->rect().center()));
}

// The dialog lists its folder in the background; waits until it lists `rows` entries.
bool wait_for_listing(QFileDialog& dialog, int rows) {
  auto* model = dialog.findChild<QFileSystemModel*>();
  if (!model) return false;
  const QModelIndex folder = model->index(dialog.directory().absolutePath());
  return QTest::qWaitFor([&] { return model->rowCount(folder) == rows; });
}

void type_names(QFileDialog& dialog, const QString& names) {
  auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  ASSERT_NE(edit, nullptr);
  edit->setText(names);
}

class OpenDialogGui : public ::testing::Test {
 protected:
  void SetUp() override {
    before_test_ = QDir::currentPath();
    ASSERT_TRUE(temp_.isValid());
    // Canonical, so that paths compare equal to what getcwd gives back.
    root_ = QFileInfo(temp_.path()).canonicalFilePath();
    shelf_ = root_ + QStringLiteral("/书架");
    work_ = root_ + QStringLiteral("/work");
    ASSERT_TRUE(QDir().mkpath(shelf_));
    ASSERT_TRUE(QDir().mkpath(work_));
  }
  void TearDown() override { QDir::setCurrent(before_test_); }

  static void make_file(const QString& path, const QByteArray& content = "text") {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(content), content.size());
  }

  QString before_test_;
  QTemporaryDir temp_;
  QString root_;
  QString shelf_;  // where the files to choose are
  QString work_;   // another folder, the current directory at the call
};

TEST_F(OpenDialogGui, AddCommandCallOpensInCurrentFolderAndGivesOneFile) {
  make_file(shelf_ + QStringLiteral("/a.txt"));
  make_file(shelf_ + QStringLiteral("/notes.log"));
  ASSERT_TRUE(QDir::setCurrent(shelf_));

  QString caption, folder, shown_filter;
  QStringList patterns;
  OpenDialogDriver driver([&](QFileDialog& d) {
    caption = d.windowTitle();
    folder = d.directory().absolutePath();
    if (auto* combo = d.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
      shown_filter = combo->currentText();
    }
    if (auto* model = d.findChild<QFileSystemModel*>()) patterns = model->nameFilters();
    auto* edit = d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, QStringLiteral("a.txt"));
    QPushButton* open = d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
    ASSERT_TRUE(QTest::qWaitFor([&] { return open->isEnabled(); }));
    QTest::mouseClick(open, Qt::LeftButton);
  });

  const text::Text result =
      多选打开对话框({.对话框标题 = "打开TXT文件"_gbk, .过滤器 = " TXT文档(*.txt)|*.txt"_gbk});

  EXPECT_TRUE(driver.acted());
  EXPECT_FALSE(driver.had_to_close());
  EXPECT_EQ(caption, QStringLiteral("打开TXT文件"));
  EXPECT_EQ(folder, shelf_);
  EXPECT_EQ(shown_filter, QStringLiteral("TXT文档(*.txt)"));
  EXPECT_EQ(patterns, QStringList{QStringLiteral("*.txt")});
  EXPECT_EQ(result, gbk(shelf_ + QStringLiteral("/a.txt")));
  EXPECT_EQ(QDir::currentPath(), shelf_);
}

TEST_F(OpenDialogGui, CancelGivesTheEmptyTextAndLeavesTheCurrentFolder) {
  make_file(shelf_ + QStringLiteral("/a.txt"));
  ASSERT_TRUE(QDir::setCurrent(work_));
  OpenDialogDriver driver([&](QFileDialog& d) {
    type_names(d, QStringLiteral("a.txt"));
    d.reject();
  });
  const text::Text result = 多选打开对话框(
      {.对话框标题 = "t", .过滤器 = "all|*", .初始目录 = gbk(shelf_), .保留目录 = true});
  EXPECT_TRUE(driver.acted());
  EXPECT_EQ(result, "");
  EXPECT_EQ(QDir::currentPath(), work_);
}

TEST_F(OpenDialogGui, SeveralFilesComeInDialogOrderAndTheFolderIsPutBack) {
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
    make_file(shelf_ + u'/' + QString::fromLatin1(name));
  }
  ASSERT_TRUE(QDir::setCurrent(work_));
  QString folder;
  QStringList chosen;
  OpenDialogDriver driver([&](QFileDialog& d) {
    folder = d.directory().absolutePath();
    type_names(d, QStringLiteral("\"c.txt\" \"a.txt\""));
    chosen = d.selectedFiles();
    accept(d);
  });
  // 初始目录 names another folder; 保留目录 is left out.
  const text::Text result =
      多选打开对话框({.对话框标题 = "t", .过滤器 = "Text|*.txt|All|*", .初始目录 = gbk(shelf_)});

  EXPECT_EQ(folder, shelf_);
  EXPECT_EQ(std::set<QString>(chosen.begin(), chosen.end()),
            (std::set<QString>{shelf_ + QStringLiteral("/a.txt"), shelf_ + QStringLiteral("/c.txt")}));
  EXPECT_EQ(result, joined(chosen));
  EXPECT_EQ(result.find("\r\n"), result.rfind("\r\n"));  // one separator, none at the end
  EXPECT_EQ(QDir::currentPath(), work_);
}

TEST_F(OpenDialogGui, KeepFolderLeavesTheCurrentFolderWithTheChosenFiles) {
  make_file(shelf_ + QStringLiteral("/a.txt"));
  make_file(shelf_ + QStringLiteral("/b.txt"));
  ASSERT_TRUE(QDir::setCurrent(work_));
  OpenDialogDriver driver([&](QFileDialog& d) {
    type_names(d, QStringLiteral("\"a.txt\" \"b.txt\""));
    accept(d);
  });
  const text::Text result = 多选打开对话框(
      {.对话框标题 = "t", .过滤器 = "all|*", .初始目录 = gbk(shelf_), .保留目录 = true});
  EXPECT_NE(result, "");
  EXPECT_EQ(QDir::currentPath(), shelf_);
}

TEST_F(OpenDialogGui, LeftOutInitialFolderIsTheCurrentOneAndEmptyGivenToo) {
  ASSERT_TRUE(QDir::setCurrent(work_));
  for (std::optional<text::Text> initial : {std::optional<text::Text>(), std::optional<text::Text>("")}) {
    QString folder;
    OpenDialogDriver driver([&](QFileDialog& d) {
      folder = d.directory().absolutePath();
      d.reject();
    });
    EXPECT_EQ(多选打开对话框({.对话框标题 = "t", .过滤器 = "all|*", .初始目录 = initial}), "");
    EXPECT_EQ(folder, work_);
  }
}

TEST_F(OpenDialogGui, FilesInDifferentFoldersComeBackWhole) {
  ASSERT_TRUE(QDir().mkpath(shelf_ + QStringLiteral("/x")));
  make_file(shelf_ + QStringLiteral("/x/a.txt"));
  make_file(work_ + QStringLiteral("/b.txt"));
  QStringList chosen;
  OpenDialogDriver driver([&](QFileDialog& d) {
    type_names(d, u'"' + shelf_ + QStringLiteral("/x/a.txt\" \"") + work_ + QStringLiteral("/b.txt\""));
    chosen = d.selectedFiles();
    accept(d);
  });
  const text::Text result = 多选打开对话框({.对话框标题 = "t", .过滤器 = "all|*", .初始目录 = gbk(shelf_)});
  EXPECT_EQ(chosen.size(), 2);
  EXPECT_EQ(result, joined(chosen));
}

TEST_F(OpenDialogGui, FilesWithOnlyTheRootInCommonGetNoDoubledSeparator) {
  make_file(shelf_ + QStringLiteral("/a.txt"));
  // A second file in another top-level folder than the shelf's.
  const bool shelf_in_tmp = shelf_.section(u'/', 1, 1) == QStringLiteral("tmp");
  QTemporaryDir other(shelf_in_tmp ? QStringLiteral("/var/tmp/bixiqin-XXXXXX")
                                   : QStringLiteral("/tmp/bixiqin-XXXXXX"));
  ASSERT_TRUE(other.isValid());
  const QString elsewhere = QFileInfo(other.path()).canonicalFilePath() + QStringLiteral("/b.txt");
  make_file(elsewhere);
  ASSERT_NE(elsewhere.section(u'/', 1, 1), shelf_.section(u'/', 1, 1));
  QStringList chosen;
  OpenDialogDriver driver([&](QFileDialog& d) {
    type_names(d, u'"' + shelf_ + QStringLiteral("/a.txt\" \"") + elsewhere + u'"');
    chosen = d.selectedFiles();
    accept(d);
  });
  const text::Text result = 多选打开对话框(
      {.对话框标题 = "t", .过滤器 = "all|*", .初始目录 = gbk(shelf_), .保留目录 = true});
  EXPECT_EQ(chosen.size(), 2);
  EXPECT_EQ(result, joined(chosen));
  EXPECT_EQ(result.find("//"), std::string::npos);
  // The dialog's folder for these files is the root.
  EXPECT_EQ(QDir::currentPath(), QStringLiteral("/"));
}

TEST_F(OpenDialogGui, UnicodeNamesRoundTripThroughGb18030) {
  const QString deep = shelf_ + QStringLiteral("/小说 📚");
  ASSERT_TRUE(QDir().mkpath(deep));
  const QString one = deep + QStringLiteral("/第一章 ☃ 𠀀.txt");
  const QString two = deep + QStringLiteral("/😀.txt");
  make_file(one, "first");
  make_file(two, "second");

  QString folder;
  OpenDialogDriver driver([&](QFileDialog& d) {
    folder = d.directory().absolutePath();
    type_names(d, QStringLiteral("\"第一章 ☃ 𠀀.txt\" \"😀.txt\""));
    accept(d);
  });
  const text::Text result = 多选打开对话框({.对话框标题 = "选择 📖"_gbk, .过滤器 = "所有|*"_gbk,
                                            .初始目录 = gbk(deep)});
  EXPECT_EQ(folder, deep);
  const QStringList paths = from_gbk(result).split(QStringLiteral("\r\n"));
  ASSERT_EQ(paths.size(), 2);
  EXPECT_EQ(std::set<QString>(paths.begin(), paths.end()), (std::set<QString>{one, two}));
  // The program's texts reach the real files again.
  const std::map<QString, QByteArray> contents{{one, "first"}, {two, "second"}};
  for (const QString& path : paths) {
    QFile f(QString::fromStdString(text::to_utf8(gbk(path))));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), contents.at(path));
  }
}

TEST_F(OpenDialogGui, NamesAndTextsThatDoNotDecodeDoNotCrash) {
  // A file name that is not UTF-8, beside an ordinary one.
  const std::string odd = QFile::encodeName(shelf_).toStdString() + "/odd\xff\xfe.txt";
  std::ofstream(odd) << "x";
  make_file(shelf_ + QStringLiteral("/ok.txt"));

  QString caption;
  OpenDialogDriver driver([&](QFileDialog& d) {
    caption = d.windowTitle();
    auto* model = d.findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return model->index(shelf_ + QStringLiteral("/ok.txt")).isValid(); }));
    type_names(d, QStringLiteral("ok.txt"));
    accept(d);
  });
  // A title and a filter that are not valid GB18030.
  const text::Text result =
      多选打开对话框({.对话框标题 = "\xff\x30\x81", .过滤器 = "\x81|*", .初始目录 = gbk(shelf_)});
  std::remove(odd.c_str());
  EXPECT_TRUE(driver.acted());
  EXPECT_FALSE(caption.isEmpty());
  EXPECT_EQ(result, gbk(shelf_ + QStringLiteral("/ok.txt")));
}

TEST_F(OpenDialogGui, TypedNamesMustNameExistingFiles) {
  make_file(shelf_ + QStringLiteral("/a.txt"));
  bool warned = false;
  bool still_open = false;
  OpenDialogDriver driver([&](QFileDialog& d) {
    type_names(d, QStringLiteral("missing.txt"));
    QTimer::singleShot(0, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        warned = box->text().contains(QStringLiteral("missing.txt"));
        box->close();
      }
    });
    accept(d);
    still_open = d.isVisible();
    d.reject();
  });
  EXPECT_EQ(多选打开对话框({.对话框标题 = "t", .过滤器 = "all|*", .初始目录 = gbk(shelf_)}), "");
  EXPECT_TRUE(warned);
  EXPECT_TRUE(still_open);
}

TEST_F(OpenDialogGui, SelectionBeyondTheAnswerBufferGivesTheEmptyText) {
  // 400 names of 250 bytes with their zeros need 100,000 bytes, more than 98192.
  for (int i = 0; i < 400; ++i) {
    const QString name = QString::number(i).rightJustified(245, u'n') + QStringLiteral(".txt");
    make_file(shelf_ + u'/' + name);
  }
  ASSERT_TRUE(QDir::setCurrent(work_));
  qsizetype chosen = 0;
  OpenDialogDriver driver([&](QFileDialog& d) {
    ASSERT_TRUE(wait_for_listing(d, 400));
    // Too many for the file-name box (it holds 32767 characters): select
    // them all in the list instead.
    auto* list = d.findChild<QListView*>(QStringLiteral("listView"));
    ASSERT_NE(list, nullptr);
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    chosen = d.selectedFiles().size();
    accept(d);
  });
  const text::Text result = 多选打开对话框(
      {.对话框标题 = "t", .过滤器 = "all|*", .初始目录 = gbk(shelf_), .保留目录 = true});
  EXPECT_EQ(chosen, 400);
  EXPECT_FALSE(driver.had_to_close());
  EXPECT_EQ(result, "");
  EXPECT_EQ(QDir::currentPath(), work_);
}

TEST_F(OpenDialogGui, WithoutOwnerOtherWindowsStayUsable) {
  QWidget other;
  auto* button = new QPushButton(QStringLiteral("添加"), &other);
  other.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
  QSignalSpy clicks(button, &QPushButton::clicked);

  bool enabled = false;
  QWidget* modal = &other;
  OpenDialogDriver driver([&](QFileDialog& d) {
    enabled = other.isEnabled() && button->isEnabled();
    modal = QApplication::activeModalWidget();
    click_through_window(button);
    d.reject();
  });
  EXPECT_EQ(多选打开对话框({.对话框标题 = "t", .过滤器 = "all|*"}), "");
  EXPECT_TRUE(driver.acted());
  EXPECT_TRUE(enabled);
  EXPECT_EQ(modal, nullptr);
  EXPECT_EQ(clicks.count(), 1);
}

TEST_F(OpenDialogGui, WithOwnerOnlyTheOwnerWaits) {
  QWidget owner, other;
  auto* owner_button = new QPushButton(QStringLiteral("a"), &owner);
  auto* other_button = new QPushButton(QStringLiteral("b"), &other);
  owner.show();
  other.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
  QSignalSpy owner_clicks(owner_button, &QPushButton::clicked);
  QSignalSpy other_clicks(other_button, &QPushButton::clicked);

  QWidget* parent = nullptr;
  OpenDialogDriver driver([&](QFileDialog& d) {
    parent = d.parentWidget();
    click_through_window(owner_button);
    click_through_window(other_button);
    d.reject();
  });
  EXPECT_EQ(多选打开对话框({.父窗口 = static_cast<std::intptr_t>(owner.winId()),
                            .对话框标题 = "t", .过滤器 = "all|*"}),
            "");
  EXPECT_EQ(parent, &owner);
  EXPECT_EQ(owner_clicks.count(), 0);
  EXPECT_EQ(other_clicks.count(), 1);
}

}  // namespace
