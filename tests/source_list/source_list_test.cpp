// The add and clear commands end to end: clicks on the real main window, the
// real open dialog, real files.
#include <QListWidget>

#include "tests/source_list/main_window_fixture.h"

namespace {

using fixture::gbk;
using fixture::u;

class SourceList : public fixture::MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    shelf_ = folder(u("书架"));
    other_ = folder(u("另一个"));
    work_ = folder(u("work"));
    for (const char* name : {"a.txt", "b.txt", "c.txt", "第一章.txt"}) {
      write_file(shelf_, u(name), "text");
    }
    write_file(other_, u("a.txt"), "other");
    ASSERT_TRUE(QDir::setCurrent(work_));
  }

  QString shelf_, other_, work_;
};

TEST_F(SourceList, CancelChangesNothing) {
  const QString label_before = caption("标签_原信息");
  cancel_dialog(shelf_, u("a.txt"));
  EXPECT_TRUE(items("列表框_原始").isEmpty());
  EXPECT_TRUE(paths().empty());
  EXPECT_EQ(caption("标签_原信息"), label_before);
  EXPECT_EQ(QDir::currentPath(), work_);

  // And with entries already there.
  add_through_dialog(shelf_, {u("b.txt")});
  child<QListWidget>("列表框_现在")->addItem(u("kept"));
  cancel_dialog(shelf_, u("c.txt"));
  EXPECT_EQ(items("列表框_原始"), QStringList{u("b.txt")});
  EXPECT_EQ(items("列表框_现在"), QStringList{u("kept")});
  EXPECT_EQ(paths(), std::vector<text::Text>{gbk(shelf_ + u("/b.txt"))});
  EXPECT_EQ(caption("标签_原信息"), u("列表框共有1个文件～～"));
  EXPECT_EQ(QDir::currentPath(), work_);
}

TEST_F(SourceList, OneFileAddsOnePathAndItsName) {
  add_through_dialog(shelf_, {u("第一章.txt")});
  EXPECT_EQ(paths(), std::vector<text::Text>{gbk(shelf_ + u("/第一章.txt"))});
  EXPECT_EQ(items("列表框_原始"), QStringList{u("第一章.txt")});
  EXPECT_EQ(caption("标签_原信息"), u("列表框共有1个文件～～"));
  EXPECT_EQ(QDir::currentPath(), work_) << "the current folder comes back after a confirmed add";
}

TEST_F(SourceList, SeveralFilesComeInDialogOrderAndTheLabelCountsTheWholeList) {
  add_through_dialog(shelf_, {u("a.txt")});
  const QStringList chosen = add_through_dialog(shelf_, {u("c.txt"), u("第一章.txt"), u("b.txt")});
  ASSERT_EQ(chosen.size(), 3);
  // The dialog keeps the typed order, so the list must not be sorted.
  EXPECT_EQ(QFileInfo(chosen.front()).fileName(), u("c.txt"));

  QStringList expected_paths = QStringList{shelf_ + u("/a.txt")} + chosen;
  EXPECT_EQ(paths(), gbk_paths(expected_paths));
  QStringList expected_names;
  for (const QString& p : expected_paths) expected_names << QFileInfo(p).fileName();
  EXPECT_EQ(items("列表框_原始"), expected_names);
  EXPECT_EQ(caption("标签_原信息"), u("列表框共有4个文件～～"));
  EXPECT_EQ(QDir::currentPath(), work_);
}

TEST_F(SourceList, DuplicatesAndSameNamesFromTwoFoldersAreKept) {
  add_through_dialog(shelf_, {u("a.txt")});
  add_through_dialog(shelf_, {u("a.txt")});
  add_through_dialog(other_, {u("a.txt")});
  EXPECT_EQ(items("列表框_原始"), (QStringList{u("a.txt"), u("a.txt"), u("a.txt")}));
  EXPECT_EQ(paths(), gbk_paths({shelf_ + u("/a.txt"), shelf_ + u("/a.txt"), other_ + u("/a.txt")}));
  EXPECT_EQ(caption("标签_原信息"), u("列表框共有3个文件～～"));
}

TEST_F(SourceList, ClearEmptiesBothListsAndThePathsButNotTheLabels) {
  add_through_dialog(shelf_, {u("a.txt"), u("b.txt")});
  child<QListWidget>("列表框_现在")->addItem(u("GB18030  a.txt"));
  child<QLabel>("标签_现信息")->setText(u("成功转换了2个文件～～"));

  click("按钮2");
  EXPECT_TRUE(items("列表框_原始").isEmpty());
  EXPECT_TRUE(items("列表框_现在").isEmpty());
  EXPECT_TRUE(paths().empty());
  EXPECT_EQ(caption("标签_原信息"), u("列表框共有2个文件～～"));
  EXPECT_EQ(caption("标签_现信息"), u("成功转换了2个文件～～"));

  // The next add counts the new list only.
  add_through_dialog(other_, {u("a.txt")});
  EXPECT_EQ(caption("标签_原信息"), u("列表框共有1个文件～～"));
  EXPECT_EQ(paths(), std::vector<text::Text>{gbk(other_ + u("/a.txt"))});
}

TEST_F(SourceList, ClearOfEmptyListsIsHarmless) {
  const QString before_source = caption("标签_原信息");
  const QString before_result = caption("标签_现信息");
  click("按钮2");
  click("按钮2");
  EXPECT_TRUE(items("列表框_原始").isEmpty());
  EXPECT_TRUE(items("列表框_现在").isEmpty());
  EXPECT_TRUE(paths().empty());
  EXPECT_EQ(caption("标签_原信息"), before_source);
  EXPECT_EQ(caption("标签_现信息"), before_result);
  // The lists still work afterwards.
  add_through_dialog(shelf_, {u("a.txt")});
  EXPECT_EQ(items("列表框_原始"), QStringList{u("a.txt")});
}

// The dialog has no owner: the main window keeps taking clicks meanwhile,
// and the add then works on the lists as they are when the dialog closes.
TEST_F(SourceList, MainWindowStaysUsableWhileTheDialogIsOpen) {
  add_through_dialog(shelf_, {u("a.txt"), u("b.txt")});
  ASSERT_EQ(items("列表框_原始").size(), 2);

  bool dialog_had_owner = true;
  bool main_window_blocked = true;
  OpenDialogDriver driver([&](QFileDialog& d) {
    dialog_had_owner = d.parentWidget() != nullptr;
    main_window_blocked = QApplication::activeModalWidget() != nullptr;
    // A click through the window system, where modal blocking would apply.
    QPushButton* clear = child<QPushButton>("按钮2");
    QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      clear->mapTo(window_, clear->rect().center()));
    EXPECT_TRUE(items("列表框_原始").isEmpty()) << "清空 did not work while the dialog showed";
    d.setDirectory(other_);
    fixture::type_text(d.findChild<QLineEdit*>(u("fileNameEdit")), u("a.txt"));
    QPushButton* open = d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
    ASSERT_TRUE(QTest::qWaitFor([&] { return open->isEnabled(); }, 5000));
    QTest::mouseClick(open, Qt::LeftButton);
  });
  click("按钮_选择");
  EXPECT_TRUE(driver.acted());
  EXPECT_FALSE(dialog_had_owner);
  EXPECT_FALSE(main_window_blocked);
  EXPECT_EQ(items("列表框_原始"), QStringList{u("a.txt")});
  EXPECT_EQ(paths(), std::vector<text::Text>{gbk(other_ + u("/a.txt"))});
  EXPECT_EQ(caption("标签_原信息"), u("列表框共有1个文件～～"));
}

}  // namespace
