// Files converted ahead of a run on worker threads: within the bounds set,
// in the encodings of the moment, named only when taken, and nothing left
// behind by what was not taken.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "convert/look_ahead.h"
#include "temp_folder.h"

namespace {

using namespace std::chrono_literals;

int threads_now() {
  int n = 0;
  for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task")) ++n;
  return n;
}

// The nice values of this process's threads, from /proc.
std::vector<int> thread_nice_values() {
  std::vector<int> all;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream stat(task.path() / "stat");
    std::string line;
    std::getline(stat, line);
    // Fields after the command's closing parenthesis: state is the 3rd
    // field of the line, nice the 19th.
    std::istringstream rest(line.substr(line.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 19 && rest >> field; ++i) {
    }
    all.push_back(std::stoi(field));
  }
  return all;
}

// Waits up to 10 s for file `index`.
bool comes_ready(const LookAhead& ahead, std::size_t index) {
  for (int i = 0; i < 1000 && !ahead.ready(index); ++i) std::this_thread::sleep_for(10ms);
  return ahead.ready(index);
}

struct Chapters {
  TempFolder folder;
  std::vector<text::Text> paths;
  explicit Chapters(int count) {
    for (int i = 0; i < count; ++i) {
      const std::string name = "c" + std::to_string(i) + ".txt";
      folder.write(name, "\xE7\xAC\xAC" + std::to_string(i) + "\n");  // 第i
      paths.push_back(folder.text(name));
    }
  }
};

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
  const int before = threads_now();
  Chapters run(6);
  // One large file in flight as well, for every core.
  std::string big;
  while (big.size() < (std::size_t{24} << 20)) big += "\xE7\xA2\xA7\xE6\xBA\xAA line\n";
  run.folder.write("big.txt", big);
  run.paths.insert(run.paths.begin() + 2, run.folder.text("big.txt"));
  {
    LookAhead ahead(run.paths, "UTF-8", "GBK", {2, 8, 1u << 30}, [] {});
    ASSERT_TRUE(comes_ready(ahead, 1));
    // The workers (and a large file's part threads they start) give way to
    // the thread that started them, which keeps its own priority.
    const std::vector<int> nice = thread_nice_values();
    EXPECT_GE(std::count(nice.begin(), nice.end(), 10), 2) << "two workers at nice 10";
    EXPECT_LT(getpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid))), 10);
    ASSERT_TRUE(完成转换(*ahead.take(0)).已转换);
    ahead.stop();
    for (int i = 0; i < 1000 && !ahead.stopped(); ++i) std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(ahead.stopped());
  }
  EXPECT_EQ(threads_now(), before);
  std::set<std::string> expected{"GBK  c0.txt", "big.txt"};
  for (int i = 0; i < 6; ++i) expected.insert("c" + std::to_string(i) + ".txt");
  EXPECT_EQ(run.folder.names(), expected);
}
