// Files and folders dropped on the real main window: drag events routed by
// Qt from the window to the widget that takes them, real files.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <fcntl.h>
#include <unistd.h>

#include "platform/window.h"
#include "tests/source_list/main_window_fixture.h"

namespace {

using fixture::BetweenFiles;
using fixture::gbk;
using fixture::u;

class Drop : public fixture::MainWindowFixture {
 protected:
  // Drags `urls` over the source list box and drops them there, as the
  // window system delivers a drop. Whether the window took the drop.
  bool drop(const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QWindow* target = window_->windowHandle();
    const QPoint over_list(137, 172);
    QDragEnterEvent enter(over_list, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
      QDragLeaveEvent leave;
      QApplication::sendEvent(target, &leave);
      return false;
    }
    QDropEvent dropped(QPointF(over_list), Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &data,
                       Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
    return dropped.isAccepted() && dropped.dropAction() == Qt::CopyAction;
  }
  static QUrl file(const QString& path) { return QUrl::fromLocalFile(path); }
};

TEST_F(Drop, FilesAndAFolderAreAddedAsTheDialogAddsThem) {
  const QString shelf = folder(u("书架"));
  const QString other = folder(u("other"));
  folder(u("书架/inner"));
  // The program's own outputs are left out of a dropped folder (not "GBK a.txt",
  // with one blank), so that converting the folder again converts no output.
  for (const char* name : {"b.txt", "a.txt", "C.TXT", "第一章.txt", "note.md", "inner/deep.txt", "GB18030  a.txt",
                           "UTF-8  第一章.txt", "GBK a.txt"}) {
    write_file(shelf, u(name), "text");
  }
  ASSERT_TRUE(QDir().mkdir(shelf + u("/dir.txt")));
  write_file(other, u("x.md"), "text");
  ASSERT_TRUE(QDir::setCurrent(other));

  // The dialog's pick first, then the same file dropped: one and the same entry.
  add_through_dialog(shelf, {u("a.txt")});
  ASSERT_TRUE(drop({file(shelf + u("/a.txt"))}));
  ASSERT_EQ(paths().size(), 2u);
  EXPECT_EQ(paths()[1], paths()[0]);
  EXPECT_EQ(items("列表框_原始"), (QStringList{u("a.txt"), u("a.txt")}));
  EXPECT_EQ(caption("标签_原信息"), u("列表框共有2个文件～～"));

  // In the order given; the folder gives its .txt files in any case, by name
  // byte for byte (ASCII capitals first, the GB18030 name last), no folders
  // and nothing from below; the web address and the missing file are left out.
  ASSERT_TRUE(drop({file(other + u("/x.md")), QUrl(u("https://example.com/y.txt")), file(shelf),
                    file(other + u("/missing.txt"))}));
  EXPECT_EQ(paths(), gbk_paths({shelf + u("/a.txt"), shelf + u("/a.txt"), other + u("/x.md"), shelf + u("/C.TXT"),
                                shelf + u("/GBK a.txt"), shelf + u("/a.txt"), shelf + u("/b.txt"),
                                shelf + u("/第一章.txt")}));
  EXPECT_EQ(items("列表框_原始"), (QStringList{u("a.txt"), u("a.txt"), u("x.md"), u("C.TXT"), u("GBK a.txt"),
                                              u("a.txt"), u("b.txt"), u("第一章.txt")}));
  EXPECT_EQ(caption("标签_原信息"), u("列表框共有8个文件～～"));
  // An output dropped by itself is taken as chosen.
  ASSERT_TRUE(drop({file(shelf + u("/GB18030  a.txt"))}));
  EXPECT_EQ(paths().size(), 9u);
  EXPECT_EQ(caption("标签_原信息"), u("列表框共有9个文件～～"));
  EXPECT_EQ(QDir::currentPath(), other) << "a drop leaves the current folder alone";

  // Nothing that is a local file: nothing changes (a web address is not even
  // taken).
  EXPECT_FALSE(drop({QUrl(u("https://example.com/z.txt"))}));
  drop({file(other + u("/missing.txt"))});
  EXPECT_EQ(paths().size(), 9u);
  EXPECT_EQ(caption("标签_原信息"), u("列表框共有9个文件～～"));
}

TEST_F(Drop, ANameThatIsNotUtf8KeepsItsBytes) {
  // 第.txt with its name in GBK bytes, as an old archive leaves it; a file
  // manager sends such a name percent-encoded.
  const QString shelf = folder(u("gbk"));
  const std::string native = QFile::encodeName(shelf).toStdString() + "/\xB5\xDA.txt";
  const int fd = ::open(native.c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ::close(fd);
  const QUrl url = QUrl::fromEncoded(QByteArray("file://") + QUrl::toPercentEncoding(shelf, "/") + "/%B5%DA.txt");

  for (const QUrl& dropped : {url, QUrl::fromLocalFile(shelf)}) {
    原始文件路径.clear();
    ASSERT_TRUE(drop({dropped})) << dropped.toString().toStdString();
    ASSERT_EQ(paths().size(), 1u);
    EXPECT_EQ(text::to_utf8(paths()[0]), native) << "the file system's own bytes come back";
  }
}

TEST_F(Drop, RefusedWhileTheWindowTakesNoInput) {
  const QString shelf = folder(u("shelf"));
  write_file(shelf, u("a.txt"), "text");
  ui::主窗口()->native().set_accepts_input(false);
  EXPECT_FALSE(drop({file(shelf + u("/a.txt"))}));
  ui::主窗口()->native().set_accepts_input(true);
  EXPECT_TRUE(paths().empty());
  EXPECT_TRUE(items("列表框_原始").isEmpty());
}

TEST_F(Drop, FilesDroppedDuringARunWaitForTheNextRun) {
  const QString shelf = folder(u("shelf"));
  const QByteArray chinese("\xE4\xB8\xAD\xE6\x96\x87");  // 中文 in UTF-8
  const QByteArray expected("\xD6\xD0\xCE\xC4");         // and in GB18030
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) write_file(shelf, u(name), chinese);
  ASSERT_TRUE(drop({file(shelf + u("/a.txt")), file(shelf + u("/b.txt"))}));

  bool dropped = false;
  BetweenFiles during([&] {
    if (!dropped) dropped = drop({file(shelf + u("/c.txt"))});
  });
  click("按钮_转换");
  during.stop();
  ASSERT_TRUE(dropped);
  EXPECT_EQ(items("列表框_原始"), (QStringList{u("a.txt"), u("b.txt"), u("c.txt")}));
  EXPECT_EQ(items("列表框_现在"), (QStringList{u("GB18030  a.txt"), u("GB18030  b.txt")}));
  EXPECT_EQ(read_file(shelf + u("/GB18030  b.txt")), expected);
  EXPECT_FALSE(QFileInfo::exists(shelf + u("/GB18030  c.txt")));

  click("按钮_转换");
  EXPECT_EQ(read_file(shelf + u("/GB18030  c.txt")), expected);
  EXPECT_EQ(caption("标签_现信息"), u("成功转换了3个文件～～"));
}

}  // namespace
