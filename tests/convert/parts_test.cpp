// Large files converted in parts on several threads: the same bytes as one
// conversion of the whole, whatever stands at the cuts, and the first fault
// in the file's order reported, with nothing left on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "convert/parallel_conversion.h"
#include "convert/single_file.h"
#include "convert/transcode.h"
#include "look_ahead_support.h"
#include "platform/thread_priority.h"
#include "temp_folder.h"

namespace {

// 16 MiB and more: four parts for four workers.
constexpr std::size_t kSize = std::size_t{17} << 20;

// Lines that begin with each kind of character, so that the cuts (just after
// a newline) fall before one-, two-, three- and four-byte characters.
std::string mixed_lines(std::size_t size, const char* newline) {
  const char* starts[] = {"a", "\xC3\xA9", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80"};  // a é 中 😀
  std::string out;
  out.reserve(size + 64);
  for (unsigned i = 0; out.size() < size; ++i) {
    out += starts[i % 4];
    out += "\xE6\x96\x87 text ";
    out.append(i % 7, 'x');
    out += newline;
  }
  return out;
}

std::string whole(const std::string& bytes, const char* from, const char* to) {
  bool ok = false;
  const text::ByteSet out = 转码字节集(bytes, from, to, ok);
  EXPECT_TRUE(ok);
  return std::string(out.view());
}

}  // namespace

TEST(Parts, GiveTheBytesOfOneConversionOfTheWhole) {
  struct Case {
    const char* what;
    std::string bytes;
  };
  const Case cases[] = {
      {"LF lines", mixed_lines(kSize, "\n")},
      {"CR LF lines", mixed_lines(kSize, "\r\n")},
      {"no line end at all", [] {
         std::string s;
         while (s.size() < kSize) s += "\xE4\xB8\xAD";
         return s;
       }()},
      // Two pieces far longer than the rest, converted side by side (with
      // more threads than the first one spans steps): their bytes outgrow
      // what a thread holds and must still come in order.
      {"two long stretches without line ends", [] {
         std::string s;
         while (s.size() < (std::size_t{9} << 20)) s += "\xE4\xB8\xAD";  // 中
         s += "\n";
         while (s.size() < (std::size_t{18} << 20)) s += "\xE6\x96\x87";  // 文
         return s + "\n" + mixed_lines(std::size_t{1} << 20, "\n");
       }()},
  };
  for (const Case& c : cases) {
    TempFolder dir;
    dir.write("u.txt", c.bytes);
    const std::string expected = whole(c.bytes, "UTF-8", "GB18030");
    for (const unsigned workers : {2u, 3u, 4u, 8u}) {
      const 转换结果 r = 转换单个文件(dir.text("u.txt"), "UTF-8", "GB18030", workers);
      ASSERT_TRUE(r.已转换) << c.what << ", " << workers << " workers";
      EXPECT_TRUE(dir.read("GB18030  u.txt") == expected) << c.what << ", " << workers << " workers";
      EXPECT_EQ(r.bytes_in, c.bytes.size());
      EXPECT_EQ(r.bytes_out, expected.size());
    }
    EXPECT_EQ(dir.names(), (std::set<std::string>{"u.txt", "GB18030  u.txt"})) << c.what;
  }
}

// A fault near the start, near the end, or in two parts at once: the one
// first in the file is reported, and no output appears.
TEST(Parts, TheFirstFaultInTheFileIsReportedAndNothingIsLeft) {
  const std::string text = mixed_lines(kSize, "\n");
  const std::size_t quarter = text.size() / 4;
  // Just after a newline, so the place is easy to tell: an invalid byte FF.
  const auto line_start_after = [&](std::size_t at) { return text.find('\n', at) + 1; };
  struct Case {
    const char* what;
    std::vector<std::size_t> faults;
  };
  const Case cases[] = {
      {"first part", {line_start_after(100)}},
      {"last part", {line_start_after(text.size() - 1000)}},
      {"second and fourth parts", {line_start_after(quarter + 5000), line_start_after(3 * quarter + 5000)}},
  };
  for (const Case& c : cases) {
    std::string bytes = text;
    for (const std::size_t at : c.faults) bytes[at] = '\xFF';
    TempFolder dir;
    dir.write("u.txt", bytes);
    dir.write("GBK  u.txt", "older output");
    const 转换结果 r = 转换单个文件(dir.text("u.txt"), "UTF-8", "GB18030", 4);
    EXPECT_FALSE(r.已转换) << c.what;
    EXPECT_EQ(r.outcome, Outcome::invalid_sequence) << c.what;
    EXPECT_EQ(r.offset, c.faults.front()) << c.what;
    EXPECT_EQ(r.column, 1u) << c.what;
    EXPECT_EQ(r.bytes, "\xFF") << c.what;
    EXPECT_EQ(dir.names(), (std::set<std::string>{"u.txt", "GBK  u.txt"})) << c.what;
  }
}

// Catches a part that writes once an earlier part has failed: the parts
// after a long first one have converted and wait for their turn when its
// fault is met, and must never reach the output. The output is named here
// against the rules, only to see what went into it.
TEST(Parts, NothingAfterTheFirstFaultReachesTheOutput) {
  std::string bytes;
  while (bytes.size() < (std::size_t{9} << 20)) bytes += "\xE4\xB8\xAD";  // 中, no line end
  const std::size_t fault = bytes.size();
  bytes += "\xFF\n";
  const std::string before_fault = whole(bytes.substr(0, fault), "UTF-8", "GB18030");
  bytes += mixed_lines(std::size_t{8} << 20, "\n");
  TempFolder dir;
  dir.write("u.txt", bytes);
  for (const unsigned threads : {4u, 8u}) {
    platform::SourceFile source;
    ASSERT_EQ(source.open(dir.text("u.txt")), platform::ReadOutcome::read);
    platform::NewFile output;
    ASSERT_TRUE(output.create(dir.text("seen.txt"), 0644));
    const PartsResult r = 分段转码(source, "UTF-8", "GB18030", output, threads, false);
    EXPECT_EQ(r.stream.end, StreamEnd::invalid) << threads;
    EXPECT_EQ(r.stream.failed_at, fault) << threads;
    ASSERT_TRUE(output.commit());
    const std::string seen = dir.read("seen.txt");
    EXPECT_LE(seen.size(), before_fault.size()) << threads << " threads";
    EXPECT_TRUE(before_fault.starts_with(seen)) << threads << " threads: bytes from after the fault";
  }
}

// The wrong-encoding warning of a large file holds only when every part is
// valid UTF-8 and some part has a character of three or four bytes.
TEST(Parts, TheWarningNeedsEveryPartValidAndAWideCharacterInAny) {
  const std::string utf8_line = "\xE7\x9A\x84\xE6\x98\xAF\n";  // 的是 in UTF-8: also valid GBK
  const std::string gbk_line = "\xD6\xD0\xCE\xC4\n";             // 中文 in GBK: no UTF-8
  const auto repeat = [](const std::string& line, std::size_t size) {
    std::string out;
    while (out.size() < size) out += line;
    return out;
  };
  constexpr std::size_t kMiB = std::size_t{1} << 20;
  struct Case {
    const char* what;
    std::string bytes;
    bool warned;
  };
  const Case cases[] = {
      {"UTF-8 throughout", repeat(utf8_line, kSize), true},
      {"GBK in the last part only", repeat(utf8_line, kSize - kMiB) + repeat(gbk_line, kMiB), false},
      {"GBK in the first part only", repeat(gbk_line, kMiB) + repeat(utf8_line, kSize - kMiB), false},
      {"ASCII", repeat("plain text\n", kSize), false},
      {"two-byte characters only", repeat("caf\xC3\xA9\n", kSize), false},  // café
      {"Chinese in the last part only", repeat("plain text\n", kSize - kMiB) + repeat(utf8_line, kMiB), true},
  };
  for (const Case& c : cases) {
    TempFolder dir;
    dir.write("g.txt", c.bytes);
    const 转换结果 r = 转换单个文件(dir.text("g.txt"), "GBK", "UTF-8", 4);
    ASSERT_TRUE(r.已转换) << c.what;
    EXPECT_EQ(r.also_valid_utf8, c.warned) << c.what;
  }
}

// Catches the helper threads of a file in parts left at normal priority on
// Windows, where a thread does not inherit its starter's: asked from a
// lowered thread, all four threads of the conversion must run lowered, or
// the window's thread shares the processors with the helpers.
TEST(Parts, AreConvertedAsLowAsTheThreadThatAsksForThem) {
  TempFolder dir;
  dir.write("u.txt", mixed_lines(std::size_t{48} << 20, "\n"));
  const int before = look_ahead_support::threads_at_background_priority();
  std::atomic<bool> done{false};
  bool ran = false;
  PartsResult r;
  std::thread asker([&] {
    platform::lower_this_thread_priority();
    platform::SourceFile source;
    platform::NewFile output;
    if (source.open(dir.text("u.txt")) == platform::ReadOutcome::read && output.create(dir.text("o.txt"), 0644)) {
      r = 分段转码(source, "UTF-8", "GB18030", output, 4, false);
      ran = true;
    }
    done = true;
  });
  int most = 0;
  while (!done) most = std::max(most, look_ahead_support::threads_at_background_priority() - before);
  asker.join();
  ASSERT_TRUE(ran);
  EXPECT_EQ(r.stream.end, StreamEnd::converted);
  EXPECT_EQ(most, 4) << "threads at background priority during the conversion";
}
