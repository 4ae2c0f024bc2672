// A source that another program changes while it is converted fails that
// conversion: cut short, grown, or rewritten in place with bytes of the same
// length. The change is made when the first converted piece is written, so
// the rest of the file is read after it.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <fstream>
#include <functional>

#include "convert/file_ends.h"
#include "convert/stream.h"
#include "temp_folder.h"

namespace {

const std::string kLineGbk = "\xD6\xD0\xCE\xC4\n";  // 中文

std::string gbk_lines(int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += kLineGbk;
  return out;
}

// Writes through to the real new file, changing the source once first.
class ChangingSink final : public ByteSink {
 public:
  ChangingSink(platform::NewFile& file, std::function<void()> change)
      : writer_(file), change_(std::move(change)) {}
  bool write(std::string_view bytes) override {
    if (change_) std::exchange(change_, nullptr)();
    return writer_.write(bytes);
  }

 private:
  NewFileWriter writer_;
  std::function<void()> change_;
};

}  // namespace

TEST(SourceChange, AChangeWhileReadingFailsTheConversion) {
  const int kLines = 600000;  // 3 MB: three pieces
  struct Case {
    const char* what;
    std::function<void(const std::filesystem::path&)> change;
  };
  const Case cases[] = {
      {"cut short", [](const std::filesystem::path& p) { std::filesystem::resize_file(p, 1 << 21); }},
      {"grown",
       [](const std::filesystem::path& p) {
         std::ofstream(p, std::ios::binary | std::ios::app) << kLineGbk;
       }},
      {"rewritten",
       [](const std::filesystem::path& p) {
         std::fstream f(p, std::ios::binary | std::ios::in | std::ios::out);
         f.seekp(2 << 20);
         f << "\xB0\xA1";  // 啊 over 中: still valid, still the same length
       }},
  };
  for (const Case& c : cases) {
    TempFolder dir;
    dir.write("g.txt", gbk_lines(kLines));
    // Written an hour ago, as files to convert usually are.
    const timespec hour_ago[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, dir.native("g.txt").c_str(), hour_ago, 0), 0);

    platform::SourceFile source;
    ASSERT_EQ(source.open(dir.text("g.txt")), platform::ReadOutcome::read);
    platform::NewFile output;
    ASSERT_TRUE(output.create(dir.text("UTF-8  g.txt"), source.permissions()));
    SourceFileReader reader(source);
    ChangingSink sink(output, [&] { c.change(dir.native("g.txt")); });
    EXPECT_EQ(流式转码(reader, "GBK", "UTF-8", sink).end, StreamEnd::changed) << c.what;
  }
}

TEST(SourceChange, AnUnchangedSourceIsIntactAndNothingIsNamedBeforeTheCommit) {
  TempFolder dir;
  dir.write("g.txt", gbk_lines(300000));
  platform::SourceFile source;
  ASSERT_EQ(source.open(dir.text("g.txt")), platform::ReadOutcome::read);
  platform::NewFile output;
  ASSERT_TRUE(output.create(dir.text("UTF-8  g.txt"), source.permissions()));
  EXPECT_TRUE(output.unnamed());
  SourceFileReader reader(source);
  ChangingSink sink(output, nullptr);
  EXPECT_EQ(流式转码(reader, "GBK", "UTF-8", sink).end, StreamEnd::converted);
  EXPECT_EQ(dir.names(), std::set<std::string>{"g.txt"});
  ASSERT_TRUE(output.commit());
  EXPECT_EQ(dir.names(), (std::set<std::string>{"g.txt", "UTF-8  g.txt"}));
}
