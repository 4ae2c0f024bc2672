// Large files converted in parts on several threads: the same bytes as one
// conversion of the whole, whatever stands at the cuts, and the first fault
// in the file's order reported, with nothing left on disk.
#include <gtest/gtest.h>

#include "convert/single_file.h"
#include "convert/transcode.h"
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
      // Two pieces far longer than the rest, converted side by side: their
      // bytes outgrow what a thread holds and must still come in order.
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
    for (const unsigned workers : {2u, 3u, 4u}) {
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
