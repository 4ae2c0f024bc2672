// Odd file names through the real file dialog: names the joined answer
// cannot carry, and names that are not UTF-8, which the dialog cannot list.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "files/open_dialog.h"
#include "tests/support/open_dialog_driver.h"
#include "text/encoding_boundary.h"
#include "text/text.h"

namespace {

text::Text gbk(const QString& s) {
  const auto bytes = text::utf8_to_gb18030(s.toStdString());
  EXPECT_TRUE(bytes.has_value());
  return bytes.value_or("");
}

// The contents of the file that the program text `path` names.
std::string contents(const text::Text& path) {
  std::ifstream in(text::to_utf8(path), std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return in ? all.str() : "(cannot open)";
}

class OpenDialogNames : public ::testing::Test {
 protected:
  void SetUp() override {
    before_test_ = QDir::currentPath();
    ASSERT_TRUE(temp_.isValid());
    folder_ = QFileInfo(temp_.path()).canonicalFilePath();
    native_ = QFile::encodeName(folder_).toStdString();
  }
  void TearDown() override {
    QDir::setCurrent(before_test_);
    // QTemporaryDir cannot remove names that are not UTF-8.
    for (const std::string& name : made_) std::remove((native_ + '/' + name).c_str());
  }

  // A file in the folder, its name given as raw bytes.
  void make_file(const std::string& name, const std::string& content) {
    std::ofstream(native_ + '/' + name, std::ios::binary) << content;
    made_.push_back(name);
  }

  // Chooses `names` in the dialog's file list with Ctrl+clicks, then Open.
  text::Text choose_in_list(const QStringList& names, int listed) {
    OpenDialogDriver driver([&](QFileDialog& d) {
      auto* model = d.findChild<QFileSystemModel*>();
      auto* list = d.findChild<QListView*>(QStringLiteral("listView"));
      ASSERT_TRUE(model && list);
      ASSERT_TRUE(QTest::qWaitFor([&] { return model->rowCount(model->index(folder_)) == listed; }));
      for (const QString& name : names) {
        const QModelIndex index = model->index(folder_ + u'/' + name);
        ASSERT_TRUE(index.isValid());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          list->visualRect(index).center());
      }
      EXPECT_EQ(d.selectedFiles().size(), names.size());
      static_cast<QDialog&>(d).accept();
    });
    const text::Text result = 多选打开对话框({.对话框标题 = "t", .过滤器 = "all|*", .初始目录 = gbk(folder_)});
    EXPECT_FALSE(driver.had_to_close());
    return result;
  }

  // Types `names` into the file-name box, then Open.
  text::Text choose_typed(const QString& names) {
    OpenDialogDriver driver([&](QFileDialog& d) {
      d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(names);
      static_cast<QDialog&>(d).accept();
    });
    const text::Text result = 多选打开对话框({.对话框标题 = "t", .过滤器 = "all|*", .初始目录 = gbk(folder_)});
    EXPECT_FALSE(driver.had_to_close()) << "the dialog refused " << names.toStdString();
    return result;
  }

  QString before_test_;
  QTemporaryDir temp_;
  QString folder_;
  std::string native_;
  std::vector<std::string> made_;
};

TEST_F(OpenDialogNames, ANameWithCrLfIsLeftOutOfTheAnswer) {
  make_file("a\r\nb.txt", "odd");
  make_file("plain.txt", "plain");
  const QString odd = QStringLiteral("a\r\nb.txt");

  // Joined by "\r\n" it would come back as ".../a" and "b.txt" beside the plain file.
  EXPECT_EQ(choose_in_list({odd, QStringLiteral("plain.txt")}, 2), gbk(folder_ + QStringLiteral("/plain.txt")));
  EXPECT_EQ(choose_in_list({odd}, 2), "");
}

TEST_F(OpenDialogNames, GbkNamedFilesAreReachedByTypingHowTheyRead) {
  // "中.txt" and "文.txt" in GBK: not UTF-8, so the dialog does not list them.
  make_file("\xD6\xD0.txt", "zhong");
  make_file("\xCE\xC4.txt", "wen");
  make_file("plain.txt", "plain");

  const text::Text one = choose_typed(QStringLiteral("中.txt"));
  EXPECT_EQ(text::to_utf8(one), native_ + "/\xD6\xD0.txt");
  EXPECT_EQ(contents(one), "zhong");

  const std::vector<text::Text> both = text::split(choose_typed(QStringLiteral("\"文.txt\" \"中.txt\"")), "\r\n");
  ASSERT_EQ(both.size(), 2u);
  EXPECT_EQ(contents(both[0]), "wen");
  EXPECT_EQ(contents(both[1]), "zhong");

  // A file that really has the typed UTF-8 name is the one meant.
  make_file("中.txt", "utf-8");
  EXPECT_EQ(contents(choose_typed(QStringLiteral("中.txt"))), "utf-8");
}

}  // namespace
