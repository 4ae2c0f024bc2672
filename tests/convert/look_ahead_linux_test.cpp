// The look-ahead where Linux alone says it: permission bits carried from a
// source made again, and a limit on open files the process can lower.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "convert/look_ahead.h"
#include "look_ahead_support.h"

namespace {

using namespace std::chrono_literals;
using look_ahead_support::Chapters;

// File `index` taken once it is ready (within 10 s) and finished.
转换结果 taken(LookAhead& ahead, std::size_t index) {
  std::optional<预备转换> p;
  for (int i = 0; i < 1000 && !p; ++i) {
    if (ahead.ready(index)) p = ahead.take(index);
    else std::this_thread::sleep_for(10ms);
  }
  return p ? 完成转换(std::move(*p)) : 转换结果{};
}

}  // namespace

// Catches a take() that checks only the handle it holds (size, change time)
// and not what the name leads to now, where the bytes read are the same:
// the source is removed and made again, private.
TEST(LookAhead, ASourceRemovedAndMadeAgainPrivateAfterItWasConvertedAheadGivesAPrivateOutput) {
  Chapters run(2);
  LookAhead ahead(run.paths, "UTF-8", "GB18030", {2, 8, 1u << 30}, [] {});
  for (int i = 0; i < 1000 && !ahead.ready(1); ++i) std::this_thread::sleep_for(10ms);
  ASSERT_TRUE(ahead.ready(1));

  const std::string c1 = run.folder.read("c1.txt");
  std::filesystem::remove(run.folder.native("c1.txt"));
  run.folder.write("c1.txt", c1);
  std::filesystem::permissions(run.folder.native("c1.txt"),
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

  ASSERT_TRUE(taken(ahead, 0).已转换);
  ASSERT_TRUE(taken(ahead, 1).已转换);
  struct stat info {};
  ASSERT_EQ(stat(run.folder.native("GB18030  c1.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

// Catches a look-ahead that holds handles for 32 files ahead whatever the
// limit and fails a file that found none spare (which used to say "读取出错").
TEST(LookAhead, ALowLimitOnOpenFilesStillConvertsEveryFile) {
  Chapters run(300);
  rlimit before {};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &before), 0);
  std::size_t open_now = 0;
  for ([[maybe_unused]] const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) ++open_now;
  rlimit low = before;
  low.rlim_cur = open_now + 24;  // the window of a small ulimit -n
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
  std::vector<std::string> failed;
  {
    LookAhead ahead(run.paths, "UTF-8", "GBK", {2, 32, 1u << 30}, [] {});
    for (std::size_t i = 0; i < run.paths.size(); ++i) {
      std::optional<预备转换> p;
      for (int t = 0; t < 1000 && !p; ++t) {
        if (ahead.ready(i)) p = ahead.take(i);
        else std::this_thread::sleep_for(1ms);
      }
      const 转换结果 r = p ? 完成转换(std::move(*p)) : 转换结果{};
      if (!r.已转换) failed.push_back(std::to_string(i) + ": " + std::to_string(static_cast<int>(r.file_error)));
    }
  }
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &before), 0);
  EXPECT_TRUE(failed.empty()) << failed.size() << " failed, the first " << failed.front();
}
