// Files converted ahead of a run on worker threads: within the bounds set,
// in the encodings of the moment, named only when taken, and nothing left
// behind by what was not taken.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "convert/look_ahead.h"
#include "look_ahead_support.h"
#include "temp_folder.h"

namespace {

using namespace std::chrono_literals;
using namespace look_ahead_support;

// Waits up to 10 s for file `index`.
bool comes_ready(const LookAhead& ahead, std::size_t index) {
  for (int i = 0; i < 1000 && !ahead.ready(index); ++i) std::this_thread::sleep_for(10ms);
  return ahead.ready(index);
}

// The thread count once it has come down to `expected`, or after 2 s: a
// joined thread may be listed a moment longer, as the joiner is woken
// before the system takes the thread's entry away.
int threads_when_down_to(int expected) {
  for (int i = 0; i < 200 && threads_now() != expected; ++i) std::this_thread::sleep_for(10ms);
  return threads_now();
}

}  // namespace

TEST(LookAhead, GoesNoFurtherThanItsBoundsInFilesAndInBytes) {
  Chapters run(8);
  {
    // Two files past the one awaited.
    LookAhead ahead(run.paths, "UTF-8", "GB18030", {2, 2, 1u << 30}, [] {});
    ASSERT_TRUE(comes_ready(ahead, 2));
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(ahead.ready(3));
    ASSERT_TRUE(ahead.take(0).has_value());
    EXPECT_TRUE(comes_ready(ahead, 3)) << "taking a file lets the next one start";
  }
  {
    // One byte held back already stops new files after the awaited one;
    // each of the two threads may have started one before any was held.
    LookAhead ahead(run.paths, "UTF-8", "GB18030", {2, 8, 1}, [] {});
    ASSERT_TRUE(comes_ready(ahead, 0));
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(ahead.ready(2));
    ASSERT_TRUE(ahead.take(0).has_value());
    ASSERT_TRUE(comes_ready(ahead, 1));
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(ahead.ready(3));
    ASSERT_TRUE(ahead.take(1).has_value());
    EXPECT_TRUE(comes_ready(ahead, 2));
  }
}

TEST(LookAhead, FilesAheadFollowANewChoiceOfEncodingAndAChangedSource) {
  Chapters run(3);
  LookAhead ahead(run.paths, "UTF-8", "GB18030", {2, 8, 1u << 30}, [] {});
  ASSERT_TRUE(comes_ready(ahead, 2));
  std::optional<预备转换> first = ahead.take(0);
  ASSERT_TRUE(first && first->converted());
  EXPECT_EQ(完成转换(std::move(*first)).输出路径, run.folder.text("GB18030  c0.txt"));

  // File 1 was converted to GB18030 already; from file 1 on it is GBK now.
  ahead.set_encodings(1, "UTF-8", "GBK");
  ASSERT_TRUE(comes_ready(ahead, 1));
  std::optional<预备转换> second = ahead.take(1);
  ASSERT_TRUE(second && second->converted());
  EXPECT_EQ(完成转换(std::move(*second)).输出路径, run.folder.text("GBK  c1.txt"));

  // File 2 changed after it was converted: it is converted again as it is now.
  ASSERT_TRUE(comes_ready(ahead, 2));
  run.folder.write("c2.txt", "\xE6\x94\xB9\xE8\xBF\x87\n");  // 改过
  std::optional<预备转换> third;
  for (int i = 0; i < 1000 && !third; ++i) {
    if (ahead.ready(2)) third = ahead.take(2);
    else std::this_thread::sleep_for(10ms);
  }
  ASSERT_TRUE(third && third->converted());
  ASSERT_TRUE(完成转换(std::move(*third)).已转换);
  EXPECT_EQ(run.folder.read("GBK  c2.txt"), "\xB8\xC4\xB9\xFD\n");
  EXPECT_FALSE(run.folder.exists("GB18030  c1.txt"));
  EXPECT_FALSE(run.folder.exists("GB18030  c2.txt"));
}

TEST(LookAhead, EndingLeavesNoThreadAndNoOutputOfTheFilesNotTaken) {
  // A sanitizer starts a thread of its own with the process's first one.
  std::thread([] {}).join();
  // GoogleTest on Windows starts a thread that watches this one the first
  // time this thread records a failure or a trace: started here, so that
  // a failure further on does not count as a thread left behind.
  SCOPED_TRACE("threads counted from here");
  const int before = threads_now();
  Chapters run(6);
  // One large file in flight as well, for every core.
  std::string big;
  while (big.size() < (std::size_t{24} << 20)) big += "\xE7\xA2\xA7\xE6\xBA\xAA line\n";
  run.folder.write("big.txt", big);
  run.paths.insert(run.paths.begin() + 2, run.folder.text("big.txt"));
  {
    LookAhead ahead(run.paths, "UTF-8", "GBK", {2, 8, 1u << 30}, [] {});
    // File 1 may be ready before file 0 when the machine is busy.
    ASSERT_TRUE(comes_ready(ahead, 1) && comes_ready(ahead, 0));
    // The workers (and a large file's part threads they start) give way to
    // the thread that started them, which keeps its own priority.
    EXPECT_GE(threads_at_background_priority(), 2) << "two workers lowered";
    EXPECT_TRUE(this_thread_above_background_priority());
    std::optional<预备转换> first = ahead.take(0);
    ASSERT_TRUE(first.has_value());
    ASSERT_TRUE(完成转换(std::move(*first)).已转换);
    ahead.stop();
    for (int i = 0; i < 1000 && !ahead.stopped(); ++i) std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(ahead.stopped());
  }
  EXPECT_EQ(threads_when_down_to(before), before);
  std::set<std::string> expected{"GBK  c0.txt", "big.txt"};
  for (int i = 0; i < 6; ++i) expected.insert("c" + std::to_string(i) + ".txt");
  EXPECT_EQ(run.folder.names(), expected);
}

// Catches a file being converted when the encodings change that is kept
// as converted with the old ones. The run's second file is a large one,
// caught while it converts: the window's thread changes the encodings as
// soon as the first file is ready.
TEST(LookAhead, AFileConvertingWhenTheEncodingsChangeIsConvertedAgain) {
  Chapters run(1);
  std::string big;
  while (big.size() < (std::size_t{64} << 20)) big += "\xE7\xA2\xA7 line\n";  // 碧
  run.folder.write("big.txt", big);
  run.paths.push_back(run.folder.text("big.txt"));
  LookAhead ahead(run.paths, "UTF-8", "GB18030", {1, 8, 1u << 30}, [] {});
  for (int i = 0; i < 10000 && !ahead.ready(0); ++i) std::this_thread::sleep_for(1ms);
  ahead.set_encodings(1, "UTF-8", "GBK");
  ASSERT_TRUE(ahead.take(0).has_value());
  std::optional<预备转换> second;
  for (int i = 0; i < 3000 && !second; ++i) {
    if (ahead.ready(1)) second = ahead.take(1);
    else std::this_thread::sleep_for(10ms);
  }
  ASSERT_TRUE(second && second->converted());
  const 转换结果 r = 完成转换(std::move(*second));
  EXPECT_EQ(r.输出路径, run.folder.text("GBK  big.txt"));
  EXPECT_FALSE(run.folder.exists("GB18030  big.txt"));
}

// Catches bytes held back that are never given back as the run takes its
// files: after 64 MiB the look-ahead would convert only the file awaited.
// Here 120 MiB go by, and at every step the file after the awaited one
// still comes ready before the run takes the awaited one.
TEST(LookAhead, KeepsWorkingAheadThroughARunOfFarMoreThanItsBytes) {
  TempFolder folder;
  const std::string chapter(std::size_t{3} << 20, 'a');
  std::vector<text::Text> paths;
  for (int i = 0; i < 40; ++i) {
    const std::string name = "c" + std::to_string(i) + ".txt";
    folder.write(name, chapter);
    paths.push_back(folder.text(name));
  }
  LookAhead ahead(paths, "UTF-8", "GB18030", {2}, [] {});
  for (std::size_t i = 0; i + 2 < paths.size(); ++i) {
    ASSERT_TRUE(comes_ready(ahead, i)) << i;
    std::optional<预备转换> p = ahead.take(i);
    ASSERT_TRUE(p && p->converted()) << i;
    ASSERT_TRUE(comes_ready(ahead, i + 2)) << "after " << i + 1 << " files of 3 MiB taken";
  }
}

// Catches a take() that checks only the handle it holds (size, change time)
// and not what the name leads to now.
TEST(LookAhead, AFileReplacedAfterItWasConvertedAheadIsNotNamedFromTheOldBytes) {
  Chapters run(3);
  // c2 is the output c0 will have: the run replaces it before reaching it.
  run.folder.write("GB18030  c0.txt", "\xE6\x97\xA7\n");  // 旧
  run.paths[2] = run.folder.text("GB18030  c0.txt");
  LookAhead ahead(run.paths, "UTF-8", "GB18030", {2, 8, 1u << 30}, [] {});
  ASSERT_TRUE(comes_ready(ahead, 2));

  const auto taken = [&](std::size_t index) {
    std::optional<预备转换> p;
    for (int i = 0; i < 1000 && !p; ++i) {
      if (ahead.ready(index)) p = ahead.take(index);
      else std::this_thread::sleep_for(10ms);
    }
    return p ? 完成转换(std::move(*p)) : 转换结果{};
  };
  // A new file renamed over c1, as editors save.
  run.folder.write("new", "\xE6\x96\xB0\n");  // 新
  std::filesystem::rename(run.folder.native("new"), run.folder.native("c1.txt"));

  ASSERT_TRUE(taken(0).已转换);
  ASSERT_TRUE(taken(1).已转换);
  EXPECT_EQ(run.folder.read("GB18030  c1.txt"), "\xD0\xC2\n");  // 新, not the first c1
  // The third file is the first one's output by now, not the user's old
  // one: read as it is, GB18030 bytes, it is no UTF-8 (the old one was).
  const 转换结果 third = taken(2);
  EXPECT_EQ(third.outcome, Outcome::invalid_sequence);
  EXPECT_FALSE(run.folder.exists("GB18030  GB18030  c0.txt"));
}
