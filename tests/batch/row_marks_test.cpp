// What the lists say about each file after a run: a failed source row is
// marked and its tooltip gives the reason, a file that is really UTF-8 but
// was converted "from GBK" gets a warning, a converted row names its output,
// and a result row gives the output's full path. Real files, a real run, and
// what the real list box shows.
#include <QComboBox>
#include <QHelpEvent>
#include <QScreen>
#include <QStringEncoder>
#include <QTextDocument>
#include <QToolTip>

#include "effects/window_effects.h"
#include "platform/composition.h"
#include "platform/qt/offscreen_composition.h"
#include "platform/qt/list_box_widget.h"
#include "tests/source_list/main_window_fixture.h"

namespace platform {
void PrintTo(ItemMark mark, std::ostream* os) {
  *os << (mark == ItemMark::none ? "none" : mark == ItemMark::failed ? "failed" : "warning");
}
}  // namespace platform

namespace {

using fixture::BetweenFiles;
using fixture::u;
using platform::ItemMark;
using platform::ListBoxWidget;

QByteArray gbk_bytes(const char* utf8) {
  QStringEncoder encode("GBK");
  const QByteArray out = encode(u(utf8));
  EXPECT_FALSE(encode.hasError());
  return out;
}

class RowMarks : public fixture::MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    books_ = folder(u("书架"));
  }
  void TearDown() override {
    QToolTip::hideText();
    platform::set_offscreen_composition(false);
    MainWindowFixture::TearDown();
  }

  // As a user picks "#编码_GBK  简体中文" on the left, two up from UTF-8.
  void choose_gbk_source() {
    auto* source = child<QComboBox>("组合框_原编码");
    source->setFocus();
    QTest::keyClick(source, Qt::Key_Up);
    QTest::keyClick(source, Qt::Key_Up);
    ASSERT_TRUE(QTest::qWaitFor([] { return 原编码名 == "GBK"; }, 5000));
  }

  ListBoxWidget* list(const char* name) { return child<ListBoxWidget>(name); }

  static ItemMark mark(ListBoxWidget* box, int row) {
    return static_cast<ItemMark>(box->item(row)->data(ListBoxWidget::kMarkRole).toInt());
  }
  static QString tip(ListBoxWidget* box, int row) { return box->item(row)->toolTip(); }

  // A pixel near the right end of a row, clear of its text: the row's
  // background as the window shows it.
  QRgb row_background(ListBoxWidget* box, int row) {
    QTest::qWait(50);  // the window paints at the display's pace
    const QRect r = box->visualItemRect(box->item(row));
    const QPoint at = box->viewport()->mapTo(window_, QPoint(r.right() - 3, r.center().y()));
    const QImage shown = window_->screen()->grabWindow(window_->winId()).toImage();
    return shown.pixel(at);
  }

  QString books_;
};

TEST_F(RowMarks, EachSourceRowSaysWhatBecameOfItsFile) {
  choose_gbk_source();
  // Row 0 GBK text; row 1 breaks off at column 4 of line 2 with a byte no
  // GBK character starts with; row 2 is UTF-8 whose bytes happen to read as
  // GBK (E4BD A0E5 A5BD 0A). The first name would read as markup.
  write_file(books_, u("<b>甲.txt"), gbk_bytes("第一章 碧溪\n山中无甲子\n"));
  write_file(books_, u("坏.txt"), gbk_bytes("碧溪\n山中无") + "\xFF" + gbk_bytes("甲子\n"));
  write_file(books_, u("其实是UTF-8.txt"), u("你好\n").toUtf8());
  add_through_dialog(books_, {u("<b>甲.txt"), u("坏.txt"), u("其实是UTF-8.txt")});
  ASSERT_EQ(items("列表框_原始"), (QStringList{u("<b>甲.txt"), u("坏.txt"), u("其实是UTF-8.txt")}));

  click("按钮_转换");

  ListBoxWidget* source = list("列表框_原始");
  ListBoxWidget* result = list("列表框_现在");
  EXPECT_EQ(items("列表框_原始"), (QStringList{u("<b>甲.txt"), u("坏.txt"), u("其实是UTF-8.txt")}))
      << "row texts stay the file names";
  EXPECT_EQ(mark(source, 0), ItemMark::none);
  EXPECT_EQ(tip(source, 0), u("已转换为 GB18030  <b>甲.txt"));
  EXPECT_EQ(mark(source, 1), ItemMark::failed);
  EXPECT_EQ(tip(source, 1), u("第 2 行第 4 列：不是有效的 GBK 字节 (FF)"));
  EXPECT_EQ(mark(source, 2), ItemMark::warning);
  EXPECT_EQ(tip(source, 2), u("已按 GBK 转换，但这个文件也是有效的 UTF-8 文本：原编码很可能应选 UTF-8，"
                              "结果可能是乱码\n已转换为 GB18030  其实是UTF-8.txt"));

  ASSERT_EQ(items("列表框_现在"), (QStringList{u("GB18030  <b>甲.txt"), u("GB18030  其实是UTF-8.txt")}));
  EXPECT_EQ(mark(result, 0), ItemMark::none);
  EXPECT_EQ(tip(result, 0), books_ + u("/GB18030  <b>甲.txt"));
  EXPECT_EQ(tip(result, 1), books_ + u("/GB18030  其实是UTF-8.txt"));

  // The tooltip the user gets on hovering the row: the path as it is, not
  // read as markup (which would drop "<b>" and one of the two blanks).
  const QRect r = result->visualItemRect(result->item(0));
  QHelpEvent hover(QEvent::ToolTip, r.center(), result->viewport()->mapToGlobal(r.center()));
  QCoreApplication::sendEvent(result->viewport(), &hover);
  ASSERT_TRUE(QToolTip::isVisible());
  QTextDocument shown;
  if (Qt::mightBeRichText(QToolTip::text())) shown.setHtml(QToolTip::text());
  else shown.setPlainText(QToolTip::text());
  EXPECT_EQ(shown.toPlainText().trimmed(), books_ + u("/GB18030  <b>甲.txt"));

  // On screen: the unmarked row on the list's white, the two marks on two
  // other backgrounds, neither of them the glass key colour.
  const QRgb plain = row_background(source, 0);
  const QRgb failed = row_background(source, 1);
  const QRgb warned = row_background(source, 2);
  EXPECT_EQ(plain & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_NE(failed & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_NE(warned & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_NE(failed & 0xFFFFFF, warned & 0xFFFFFF);
  for (const QRgb c : {failed, warned}) EXPECT_NE(c & 0xFFFFFF, 0xE3EDF6u);

  // The glass look: the window's key colour turns to glass, the marks stay.
  platform::set_offscreen_composition(true);
  窗口特效().玻璃化窗口(*ui::主窗口(), true, true, true, true, true, true, true, true, true);
  const QImage glass = window_->grab().toImage().convertToFormat(QImage::Format_ARGB32);
  const auto glass_at = [&](int row) {
    const QRect rr = source->visualItemRect(source->item(row));
    return glass.pixel(source->viewport()->mapTo(window_, QPoint(rr.right() - 3, rr.center().y())));
  };
  EXPECT_LT(qAlpha(glass.pixel(5, 50)), 255) << "no glass look to check against";
  EXPECT_EQ(glass_at(1), failed);
  EXPECT_EQ(glass_at(2), warned);
}

TEST_F(RowMarks, ANewRunAndAClearTakeTheMarksAway) {
  choose_gbk_source();
  write_file(books_, u("a.txt"), gbk_bytes("碧溪\n"));
  write_file(books_, u("b.txt"), QByteArray("ab\xFF\n"));
  write_file(books_, u("c.txt"), u("你好\n").toUtf8());
  add_through_dialog(books_, {u("a.txt"), u("b.txt"), u("c.txt")});
  click("按钮_转换");
  ListBoxWidget* source = list("列表框_原始");
  ASSERT_EQ(mark(source, 1), ItemMark::failed);
  ASSERT_EQ(mark(source, 2), ItemMark::warning);

  // a.txt now fails and b.txt converts. Once the new run has started (its
  // result list emptied), rows it has not reached keep nothing of the last.
  write_file(books_, u("a.txt"), QByteArray("\x81\n"));
  write_file(books_, u("b.txt"), gbk_bytes("甲子\n"));
  ListBoxWidget* result = list("列表框_现在");
  ASSERT_EQ(result->count(), 2);
  bool looked = false;
  BetweenFiles first([&] {
    if (looked || result->count() != 0) return;
    looked = true;
    for (int row = 1; row < 3; ++row) {
      EXPECT_EQ(mark(source, row), ItemMark::none) << row;
      EXPECT_TRUE(tip(source, row).isEmpty()) << row;
    }
  });
  click("按钮_转换");
  first.stop();
  EXPECT_TRUE(looked);
  EXPECT_EQ(mark(source, 0), ItemMark::failed);
  EXPECT_EQ(tip(source, 0), u("第 1 行第 1 列：不是有效的 GBK 字节 (81 0A)"));
  EXPECT_EQ(mark(source, 1), ItemMark::none);
  EXPECT_EQ(tip(source, 1), u("已转换为 GB18030  b.txt"));
  EXPECT_EQ(mark(source, 2), ItemMark::warning);

  // Cleared and added again: fresh rows, nothing carried over.
  click("按钮2");
  add_through_dialog(books_, {u("a.txt"), u("b.txt"), u("c.txt")});
  EXPECT_EQ(result->count(), 0);
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(mark(source, row), ItemMark::none) << row;
    EXPECT_TRUE(tip(source, row).isEmpty()) << row;
  }
}

}  // namespace

// Catches a failed file's tooltip that leaves the user guessing, and a
// suggestion made for bytes no encoding reads: a GBK file read as UTF-8
// names GBK, a UTF-8 one read as GBK names UTF-8, garbage names nothing.
TEST_F(RowMarks, AFileInvalidInItsEncodingNamesTheOneItReadsAs) {
  write_file(books_, u("gbk.txt"), gbk_bytes("第一章\n"));      // B5DA D2BB D5C2
  write_file(books_, u("utf8.txt"), u("中文\n").toUtf8());     // E4B8AD E69687: AD E6 is no GBK character
  write_file(books_, u("garbage.txt"), QByteArray("\xFF\xFE\n"));
  add_through_dialog(books_, {u("gbk.txt"), u("utf8.txt"), u("garbage.txt")});
  ListBoxWidget* source = list("列表框_原始");

  click("按钮_转换");  // from UTF-8, as the window starts
  EXPECT_EQ(tip(source, 0), u("第 1 行第 1 列：不是有效的 UTF-8 字节 (B5)\n看起来是 GBK 编码：原编码请选 GBK"));
  EXPECT_EQ(mark(source, 1), ItemMark::none);
  EXPECT_EQ(tip(source, 2), u("第 1 行第 1 列：不是有效的 UTF-8 字节 (FF)"));

  choose_gbk_source();
  click("按钮_转换");
  EXPECT_EQ(mark(source, 0), ItemMark::none);
  EXPECT_EQ(tip(source, 1), u("第 1 行第 2 列：不是有效的 GBK 字节 (AD E6)\n看起来是 UTF-8 编码：原编码请选 UTF-8"));
  EXPECT_EQ(tip(source, 2), u("第 1 行第 1 列：不是有效的 GBK 字节 (FF)"));
}
