// The batch conversion end to end: files added through the real dialog, a
// click on "转换", real outputs on disk compared with an independent
// converter, and what other handlers may do between two files.
#include <QComboBox>
#include <QCoreApplication>
#include <QStringDecoder>
#include <QStringEncoder>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/application.h"
#include "tests/source_list/main_window_fixture.h"

namespace {

using fixture::BetweenFiles;
using fixture::u;

// The expected output, made without iconv.
QByteArray converted(const QByteArray& utf8, const char* to) {
  QStringDecoder decode(QStringConverter::Utf8);
  const QString s = decode(utf8);
  EXPECT_FALSE(decode.hasError());
  QStringEncoder encode(to);
  EXPECT_TRUE(encode.isValid()) << to;
  const QByteArray out = encode(s);
  EXPECT_FALSE(encode.hasError());
  return out;
}

const QByteArray kChapter = QStringLiteral("第一章 碧溪\n山中无甲子，寒尽不知年。\n").toUtf8();
const QByteArray kInvalid("\xE7\xAC\xAC\xFF\xFE not UTF-8\n");

class Batch : public fixture::MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    books_ = folder(u("书架"));
    other_ = folder(u("另一个"));
  }

  // Writes each file with the chapter text (varied by name) and adds them all
  // in one go through the dialog.
  QStringList add_files(const QString& in, const QStringList& names) {
    for (const QString& n : names) write_file(in, n, content(n));
    return add_through_dialog(in, names);
  }
  static QByteArray content(const QString& name) { return kChapter + name.toUtf8() + '\n'; }

  static QString output(const QString& in, const char* encoding, const QString& name) {
    return in + u'/' + u(encoding) + u("  ") + name;
  }
  static QStringList files_in(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
  }

  void convert() { click("按钮_转换"); }

  QString books_, other_;
};

TEST_F(Batch, RightAfterStartUtf8FilesBecomeGb18030FilesBesideThem) {
  EXPECT_EQ(原编码名, "UTF-8");
  EXPECT_EQ(现编码名, "GB18030");
  add_files(books_, {u("a.txt"), u("第二章.txt")});
  convert();

  for (const QString& name : {u("a.txt"), u("第二章.txt")}) {
    SCOPED_TRACE(name.toStdString());
    const QString out = output(books_, "GB18030", name);
    ASSERT_TRUE(QFileInfo::exists(out));
    EXPECT_EQ(read_file(out), converted(content(name), "GB18030"));
    EXPECT_EQ(read_file(books_ + u'/' + name), content(name)) << "the source is never changed";
  }
  EXPECT_EQ(items("列表框_现在"), (QStringList{u("GB18030  a.txt"), u("GB18030  第二章.txt")}));
  EXPECT_EQ(caption("标签_现信息"), u("成功转换了2个文件～～"));
}

TEST_F(Batch, EmptyListOnlyEmptiesTheResultList) {
  child<QListWidget>("列表框_现在")->addItem(u("GB18030  old.txt"));
  const QString label = caption("标签_现信息");
  convert();
  EXPECT_TRUE(items("列表框_现在").isEmpty());
  EXPECT_EQ(caption("标签_现信息"), label);
  EXPECT_TRUE(files_in(books_).isEmpty());
}

TEST_F(Batch, SecondRunOverwritesTheOutputsAndListsEachOnce) {
  add_files(books_, {u("a.txt"), u("b.txt")});
  convert();
  ASSERT_EQ(items("列表框_现在").size(), 2);

  const QByteArray changed = QStringLiteral("改过的内容\n").toUtf8();
  write_file(books_, u("a.txt"), changed);
  convert();
  EXPECT_EQ(read_file(output(books_, "GB18030", u("a.txt"))), converted(changed, "GB18030"));
  EXPECT_EQ(items("列表框_现在"), (QStringList{u("GB18030  a.txt"), u("GB18030  b.txt")}));
  EXPECT_EQ(caption("标签_现信息"), u("成功转换了2个文件～～"));
}

// The label counts the files converted so far, never the position reached:
// a failed file first, in the middle or last is not counted.
TEST_F(Batch, FailedFileIsSkippedAndTheLabelCountsOnlyConvertedFiles) {
  for (const int bad : {0, 1, 2}) {
    click("按钮2");
    const QString in = folder(u("批") + QString::number(bad));
    const QStringList names{u("a.txt"), u("b.txt"), u("c.txt")};
    QStringList good;
    for (int i = 0; i < 3; ++i) {
      write_file(in, names[i], i == bad ? kInvalid : content(names[i]));
      if (i != bad) good << u("GB18030  ") + names[i];
    }
    add_through_dialog(in, names);
    child<QLabel>("标签_现信息")->setText(u("标签"));

    QStringList captions{caption("标签_现信息")};
    BetweenFiles watch([&] {
      if (caption("标签_现信息") != captions.back()) captions << caption("标签_现信息");
    });
    convert();
    watch.stop();
    if (caption("标签_现信息") != captions.back()) captions << caption("标签_现信息");

    EXPECT_EQ(captions, (QStringList{u("标签"), u("成功转换了1个文件～～"), u("成功转换了2个文件～～")}))
        << "bad file " << bad;
    EXPECT_EQ(items("列表框_现在"), good) << "bad file " << bad;
    EXPECT_FALSE(QFileInfo::exists(output(in, "GB18030", names[bad])));
    EXPECT_EQ(files_in(in).size(), 5);
  }
}

TEST_F(Batch, OnlyFileFailingLeavesAnEmptyResultListAndTheOldCaption) {
  add_files(books_, {u("a.txt")});
  convert();
  ASSERT_EQ(caption("标签_现信息"), u("成功转换了1个文件～～"));

  click("按钮2");
  write_file(other_, u("bad.txt"), kInvalid);
  add_through_dialog(other_, {u("bad.txt")});
  child<QListWidget>("列表框_现在")->addItem(u("GB18030  old.txt"));
  convert();
  EXPECT_TRUE(items("列表框_现在").isEmpty());
  EXPECT_EQ(caption("标签_现信息"), u("成功转换了1个文件～～"));
  EXPECT_EQ(files_in(other_), QStringList{u("bad.txt")});
}

TEST_F(Batch, SameNamesFromTwoFoldersGiveAnOutputInEach) {
  write_file(books_, u("a.txt"), content(u("one")));
  write_file(other_, u("a.txt"), content(u("two")));
  add_through_dialog(books_, {u("a.txt")});
  add_through_dialog(other_, {u("a.txt")});
  convert();
  EXPECT_EQ(items("列表框_现在"), (QStringList{u("GB18030  a.txt"), u("GB18030  a.txt")}));
  EXPECT_EQ(read_file(output(books_, "GB18030", u("a.txt"))), converted(content(u("one")), "GB18030"));
  EXPECT_EQ(read_file(output(other_, "GB18030", u("a.txt"))), converted(content(u("two")), "GB18030"));
}

TEST_F(Batch, UnreadableSourcesAreSkippedLikeFailedFiles) {
  add_files(books_, {u("a.txt"), u("gone.txt"), u("dir.txt"), u("d.txt")});
  ASSERT_TRUE(QFile::remove(books_ + u("/gone.txt")));
  ASSERT_TRUE(QFile::remove(books_ + u("/dir.txt")));
  ASSERT_TRUE(QDir().mkdir(books_ + u("/dir.txt")));

  QStringList captions{caption("标签_现信息")};
  BetweenFiles watch([&] {
    if (caption("标签_现信息") != captions.back()) captions << caption("标签_现信息");
  });
  convert();
  watch.stop();
  if (caption("标签_现信息") != captions.back()) captions << caption("标签_现信息");

  EXPECT_EQ(items("列表框_现在"), (QStringList{u("GB18030  a.txt"), u("GB18030  d.txt")}));
  EXPECT_EQ(captions, (QStringList{u("标签"), u("成功转换了1个文件～～"), u("成功转换了2个文件～～")}));
  EXPECT_EQ(caption("标签_现信息"), u("成功转换了2个文件～～"));
  EXPECT_FALSE(QFileInfo::exists(output(books_, "GB18030", u("gone.txt"))));
  EXPECT_FALSE(QFileInfo::exists(output(books_, "GB18030", u("dir.txt"))));
}

// The list box and the path array disagree, either way round.
enum class Surplus { path, list_item };

const char* name_of(Surplus s) { return s == Surplus::path ? "MorePathsThanItems" : "MoreItemsThanPaths"; }
void PrintTo(Surplus s, std::ostream* os) { *os << name_of(s); }

class BatchCountMismatch : public Batch, public testing::WithParamInterface<Surplus> {};

TEST_P(BatchCountMismatch, ShowsTheMessageAndTouchesNothing) {
  add_files(books_, {u("a.txt")});
  if (GetParam() == Surplus::path) 原始文件路径.append(fixture::gbk(books_ + u("/a.txt")));
  else child<QListWidget>("列表框_原始")->addItem(u("a.txt"));
  child<QListWidget>("列表框_现在")->addItem(u("kept"));
  child<QLabel>("标签_现信息")->setText(u("成功转换了7个文件～～"));

  QString text, title;
  QList<QAbstractButton*> buttons;
  QMessageBox::Icon icon = QMessageBox::Critical;
  bool has_owner = true;
  Qt::WindowModality modality = Qt::NonModal;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    QMessageBox* box = fixture::shown_message_box();
    if (!box) return;
    answer.stop();
    text = box->text();
    title = box->windowTitle();
    buttons = box->buttons();
    icon = box->icon();
    has_owner = box->parentWidget() != nullptr;
    modality = box->windowModality();
    EXPECT_EQ(box->objectName(), u("bixiqin-message-box"));
    if (QAbstractButton* ok = box->button(QMessageBox::Ok)) QTest::mouseClick(ok, Qt::LeftButton);
    if (box->isVisible()) box->reject();
  });
  answer.start(5);
  convert();
  answer.stop();

  EXPECT_EQ(text, u("数组这里 出错了？"));
  EXPECT_EQ(title, u("信息："));
  ASSERT_EQ(buttons.size(), 1);
  EXPECT_EQ(icon, QMessageBox::NoIcon);
  EXPECT_FALSE(has_owner);
  EXPECT_EQ(modality, Qt::ApplicationModal);
  EXPECT_EQ(items("列表框_现在"), QStringList{u("kept")});
  EXPECT_EQ(caption("标签_现信息"), u("成功转换了7个文件～～"));
  EXPECT_EQ(files_in(books_), QStringList{u("a.txt")});
}

INSTANTIATE_TEST_SUITE_P(EitherWay, BatchCountMismatch, testing::Values(Surplus::path, Surplus::list_item),
                         [](const testing::TestParamInfo<Surplus>& info) { return name_of(info.param); });

// The process's threads by id. A thread of the toolkit's may end meanwhile;
// what must not be is a thread that was not there before.
QStringList threads_now() { return QDir(u("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot); }

QStringList threads_started_since(const QStringList& before) {
  QStringList started;
  for (const QString& id : threads_now()) {
    if (!before.contains(id)) started.append(id);
  }
  return started;
}

// The threads started since `before` that are still listed after up to
// 2 s: a joined thread may be listed a moment longer, as the joiner is
// woken before the kernel takes the thread's entry away.
QStringList threads_left_since(const QStringList& before) {
  QStringList left = threads_started_since(before);
  for (int i = 0; i < 200 && !left.isEmpty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    left = threads_started_since(before);
  }
  return left;
}

// Between two files the window serves the user; these are the changes a
// user can make there.
class BatchMeanwhile : public Batch {
 protected:
  // Three files a, b, c in 书架; `after_first` runs once, after a.txt has
  // been converted and before b.txt is.
  // The threads are counted before and after, unless the step starts some
  // of its own (the About window's synthesizer).
  void run_with_step_after_first(const std::function<void()>& after_first, bool count_threads = true) {
    add_files(books_, {u("a.txt"), u("b.txt"), u("c.txt")});
    const QStringList threads_before = threads_now();
    bool done = false;
    BetweenFiles step([&] {
      if (!done && items("列表框_现在").size() == 1) {
        done = true;
        after_first();
      }
    });
    convert();
    step.stop();
    EXPECT_TRUE(done) << "the run never let events through after its first file";
    if (count_threads) {
      EXPECT_EQ(threads_left_since(threads_before), QStringList{}) << "the run left a thread behind";
    }
  }
};

TEST_F(BatchMeanwhile, NewTargetEncodingAppliesFromTheNextFile) {
  run_with_step_after_first([&] {
    auto* target = child<QComboBox>("组合框_现编码");
    ASSERT_EQ(target->currentIndex(), 1);
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Up);  // to "#编码_GBK  简体中文"
    EXPECT_EQ(target->currentIndex(), 0);
  });
  EXPECT_EQ(现编码名, "GBK");
  EXPECT_EQ(items("列表框_现在"), (QStringList{u("GB18030  a.txt"), u("GBK  b.txt"), u("GBK  c.txt")}));
  EXPECT_EQ(read_file(output(books_, "GB18030", u("a.txt"))), converted(content(u("a.txt")), "GB18030"));
  EXPECT_EQ(read_file(output(books_, "GBK", u("b.txt"))), converted(content(u("b.txt")), "GBK"));
  EXPECT_FALSE(QFileInfo::exists(output(books_, "GB18030", u("b.txt"))));
}

TEST_F(BatchMeanwhile, SecondClickOnConvertStartsNoNestedRun) {
  run_with_step_after_first([&] { click("按钮_转换"); });
  EXPECT_EQ(items("列表框_现在"),
            (QStringList{u("GB18030  a.txt"), u("GB18030  b.txt"), u("GB18030  c.txt")}));
  EXPECT_EQ(caption("标签_现信息"), u("成功转换了3个文件～～"));
}

TEST_F(BatchMeanwhile, ClearStopsTheRun) {
  run_with_step_after_first([&] { click("按钮2"); });
  EXPECT_TRUE(items("列表框_现在").isEmpty());
  EXPECT_TRUE(QFileInfo::exists(output(books_, "GB18030", u("a.txt"))));
  EXPECT_FALSE(QFileInfo::exists(output(books_, "GB18030", u("b.txt"))));
  EXPECT_FALSE(QFileInfo::exists(output(books_, "GB18030", u("c.txt"))));
  EXPECT_EQ(caption("标签_现信息"), u("成功转换了1个文件～～"));
}

// The refilled list holds positions 2 and 3 again; they are not this run's.
TEST_F(BatchMeanwhile, ClearThenAddStillStopsTheRun) {
  for (const char* n : {"x.txt", "y.txt", "z.txt"}) write_file(other_, u(n), content(u(n)));
  run_with_step_after_first([&] {
    click("按钮2");
    add_through_dialog(other_, {u("x.txt"), u("y.txt"), u("z.txt")});
  });
  EXPECT_TRUE(items("列表框_现在").isEmpty());
  EXPECT_FALSE(QFileInfo::exists(output(books_, "GB18030", u("b.txt"))));
  EXPECT_EQ(files_in(other_), (QStringList{u("x.txt"), u("y.txt"), u("z.txt")}));
  EXPECT_EQ(caption("标签_原信息"), u("列表框共有3个文件～～"));
}

TEST_F(BatchMeanwhile, FilesAddedDuringARunWaitForTheNextRun) {
  write_file(other_, u("x.txt"), content(u("x.txt")));
  run_with_step_after_first([&] { add_through_dialog(other_, {u("x.txt")}); });
  EXPECT_EQ(items("列表框_现在"),
            (QStringList{u("GB18030  a.txt"), u("GB18030  b.txt"), u("GB18030  c.txt")}));
  EXPECT_FALSE(QFileInfo::exists(output(other_, "GB18030", u("x.txt"))));
  EXPECT_EQ(caption("标签_原信息"), u("列表框共有4个文件～～"));

  convert();
  EXPECT_EQ(items("列表框_现在").size(), 4);
  EXPECT_EQ(caption("标签_现信息"), u("成功转换了4个文件～～"));
  EXPECT_TRUE(QFileInfo::exists(output(other_, "GB18030", u("x.txt"))));
}

// The About window is modal: the run waits inside it until it closes.
TEST_F(BatchMeanwhile, AboutWindowPausesTheRunUntilItCloses) {
  int items_while_open = -1;
  bool second_written_while_open = true;
  run_with_step_after_first([&] {
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() != u("关于窗口") || !w->isVisible()) continue;
        look.stop();
        // Let the loop of the About window turn a few times first.
        for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
        items_while_open = static_cast<int>(items("列表框_现在").size());
        second_written_while_open = QFileInfo::exists(output(books_, "GB18030", u("b.txt")));
        w->close();
      }
    });
    look.start(5);
    click("按钮_选择1");
  }, false);
  EXPECT_EQ(items_while_open, 1);
  EXPECT_FALSE(second_written_while_open);
  EXPECT_EQ(items("列表框_现在").size(), 3) << "the run goes on once the About window has gone";
}

// A large file converts off the window's thread: clearing the list while
// it is in flight stops the run there, and neither it nor any file after it
// gets an output.
TEST_F(BatchMeanwhile, ClearWhileALargeFileConvertsLeavesNoOutputOfIt) {
  QByteArray big;
  while (big.size() < (40 << 20)) big += kChapter;
  write_file(books_, u("big.txt"), big);
  add_files(books_, {u("a.txt")});
  add_through_dialog(books_, {u("big.txt")});
  add_files(books_, {u("c.txt")});
  const QStringList threads_before = threads_now();
  bool cleared = false;
  BetweenFiles step([&] {
    if (!cleared && items("列表框_现在").size() == 1) {
      cleared = true;
      click("按钮2");
    }
  });
  convert();
  step.stop();
  ASSERT_TRUE(cleared);
  EXPECT_TRUE(items("列表框_现在").isEmpty());
  EXPECT_EQ(files_in(books_), (QStringList{u("GB18030  a.txt"), u("a.txt"), u("big.txt"), u("c.txt")}));
  EXPECT_EQ(threads_left_since(threads_before), QStringList{});
}

TEST_F(BatchMeanwhile, ClosingTheMainWindowStopsTheRun) {
  run_with_step_after_first([&] { ui::主窗口()->关闭(); });
  EXPECT_TRUE(QFileInfo::exists(output(books_, "GB18030", u("a.txt"))));
  EXPECT_FALSE(QFileInfo::exists(output(books_, "GB18030", u("b.txt"))));
}

TEST_F(Batch, WindowServesEventsBetweenEveryTwoFiles) {
  constexpr int kFiles = 30;
  QStringList names;
  for (int i = 1; i <= kFiles; ++i) names << QStringLiteral("章%1.txt").arg(i, 2, 10, QLatin1Char('0'));
  add_files(books_, names);

  // Counts the passes that see a new file converted since the last pass.
  int passes_between_files = 0;
  int seen = 0;
  BetweenFiles counter([&] {
    const int now = static_cast<int>(items("列表框_现在").size());
    if (now > seen) ++passes_between_files;
    seen = now;
  });
  convert();
  counter.stop();

  ASSERT_EQ(items("列表框_现在").size(), kFiles);
  EXPECT_GE(counter.fired(), kFiles - 1);
  EXPECT_GE(passes_between_files, kFiles - 1) << "events wait until the whole run is over";
}

// While the window waits for a file with nothing else to do, the worker
// that finishes the file must wake it: no timer or paint is there to. A
// watchdog thread wakes it after 15 s (the file takes a fraction of a
// second) and says so.
TEST_F(Batch, TheWindowIsWokenWhenTheFileItWaitsForIsDone) {
  QByteArray big;
  while (big.size() < (12 << 20)) big += kChapter;
  write_file(books_, u("big.txt"), big);
  add_through_dialog(books_, {u("big.txt")});
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();

  std::mutex m;
  std::condition_variable cv;
  bool over = false;
  std::atomic<bool> woke{false};
  std::thread watchdog([&] {
    std::unique_lock lock(m);
    if (cv.wait_for(lock, std::chrono::seconds(15), [&] { return over; })) return;
    woke = true;
    while (!over) {
      lock.unlock();
      platform::wake_message_loop();
      lock.lock();
      cv.wait_for(lock, std::chrono::milliseconds(50), [&] { return over; });
    }
  });
  convert();
  {
    std::lock_guard lock(m);
    over = true;
  }
  cv.notify_all();
  watchdog.join();

  EXPECT_FALSE(woke) << "the run slept on after its file was done";
  EXPECT_EQ(items("列表框_现在"), QStringList{u("GB18030  big.txt")});
}

}  // namespace
