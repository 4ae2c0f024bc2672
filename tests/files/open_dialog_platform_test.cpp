// The file-dialog stand-in on its own: the answer's byte format, the buffer
// size rule and the current directory, with a record built by hand.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <string>

#include "platform/current_directory.h"
#include "platform/open_file_dialog.h"
#include "tests/support/open_dialog_driver.h"
#include "text/encoding_boundary.h"
#include "text/gbk_literal.h"

namespace {

using namespace std::string_literals;

text::Text gbk(const QString& s) { return text::utf8_to_gb18030(s.toStdString()).value_or("?"); }

class OpenDialogPlatform : public ::testing::Test {
 protected:
  void SetUp() override {
    before_test_ = QDir::currentPath();
    ASSERT_TRUE(temp_.isValid());
    root_ = QFileInfo(temp_.path()).canonicalFilePath();
    folder_ = root_ + QStringLiteral("/目录");
    ASSERT_TRUE(QDir().mkpath(folder_));
    for (const QString& name : {QStringLiteral("a.txt"), QStringLiteral("文件.txt")}) {
      QFile f(folder_ + u'/' + name);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QDir::setCurrent(root_));
    initial_ = gbk(folder_);
  }
  void TearDown() override { QDir::setCurrent(before_test_); }

  // Runs the dialog with an answer buffer of `size` bytes; the bytes past it
  // are a guard that must stay untouched. `names` are typed into the dialog.
  bool run(std::uint32_t size, const QString& names, std::string& buffer, QStringList& chosen) {
    buffer.assign(size, '\0');
    buffer.append(8, 'G');
    platform::OpenFileRequest request;
    request.lStructSize = 76;
    request.lpstrFilter = "All\0*\0";
    request.lpstrFile = buffer.data();
    request.nMaxFile = size;
    request.lpstrInitialDir = initial_.c_str();
    request.lpstrTitle = "t";
    request.Flags = platform::kOpenExplorer | platform::kOpenAllowMultiSelect;
    OpenDialogDriver driver([&](QFileDialog& d) {
      d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(names);
      chosen = d.selectedFiles();
      static_cast<QDialog&>(d).accept();
    });
    const bool confirmed = platform::open_file_dialog(request);
    EXPECT_TRUE(driver.acted());
    EXPECT_EQ(buffer.substr(size), "GGGGGGGG");
    return confirmed;
  }

  QString before_test_;
  QTemporaryDir temp_;
  QString root_;
  QString folder_;
  text::Text initial_;
};

TEST_F(OpenDialogPlatform, SeveralFilesFillTheBufferExactlyOrFail) {
  const QString names = QStringLiteral("\"文件.txt\" \"a.txt\"");
  std::string buffer;
  QStringList chosen;
  ASSERT_TRUE(run(4096, names, buffer, chosen));
  ASSERT_EQ(chosen.size(), 2);
  // Folder, zero, each name with its zero, and one more zero.
  const std::string expected = initial_ + '\0' + gbk(QFileInfo(chosen[0]).fileName()) + '\0' +
                               gbk(QFileInfo(chosen[1]).fileName()) + '\0' + '\0';
  EXPECT_EQ(buffer.substr(0, expected.size()), expected);
  EXPECT_EQ(QDir::currentPath(), folder_);

  // One byte short: the dialog fails, writes nothing and stays where it was.
  ASSERT_TRUE(QDir::setCurrent(root_));
  const auto size = static_cast<std::uint32_t>(expected.size());
  EXPECT_FALSE(run(size - 1, names, buffer, chosen));
  EXPECT_EQ(buffer.substr(0, size - 1), std::string(size - 1, '\0'));
  EXPECT_EQ(QDir::currentPath(), root_);

  // Exactly enough.
  EXPECT_TRUE(run(size, names, buffer, chosen));
  EXPECT_EQ(buffer.substr(0, size), expected);
}

TEST_F(OpenDialogPlatform, OneFileIsItsFullPathAndAZero) {
  std::string buffer;
  QStringList chosen;
  const std::string expected = initial_ + "/文件.txt"_gbk + '\0';
  const auto size = static_cast<std::uint32_t>(expected.size());
  EXPECT_FALSE(run(size - 1, QStringLiteral("文件.txt"), buffer, chosen));
  EXPECT_EQ(QDir::currentPath(), root_);
  ASSERT_TRUE(run(size, QStringLiteral("文件.txt"), buffer, chosen));
  EXPECT_EQ(buffer.substr(0, size), expected);
  EXPECT_EQ(QDir::currentPath(), folder_);
}

TEST_F(OpenDialogPlatform, CurrentDirectoryReadsAndSetsGbkTexts) {
  EXPECT_TRUE(platform::set_current_directory(initial_));
  EXPECT_EQ(QDir::currentPath(), folder_);
  EXPECT_EQ(platform::current_directory(), initial_);
  EXPECT_FALSE(platform::set_current_directory(initial_ + "/missing"));
  EXPECT_FALSE(platform::set_current_directory(""));
  EXPECT_EQ(platform::current_directory(), initial_);
}

TEST_F(OpenDialogPlatform, CurrentDirectoryLongerThanItsBufferReadsEmpty) {
  // Grow a path to exactly 259 bytes of program text (readable), then one more.
  const text::Text base = gbk(root_) + '/';
  ASSERT_LT(base.size(), 200u);
  const std::string fits_name(259 - base.size(), 'd');
  const QString fits = root_ + u'/' + QString::fromStdString(fits_name);
  ASSERT_TRUE(QDir().mkpath(fits));
  ASSERT_TRUE(QDir::setCurrent(fits));
  EXPECT_EQ(platform::current_directory().size(), 259u);

  const QString too_long = root_ + u'/' + QString::fromStdString(fits_name + 'd');
  ASSERT_TRUE(QDir().mkpath(too_long));
  ASSERT_TRUE(QDir::setCurrent(too_long));
  EXPECT_EQ(platform::current_directory(), "");
}

}  // namespace
