// A source that another program changes while it is converted fails that
// conversion: cut short, grown, or rewritten in place with bytes of the same
// length. The change is made when the first converted piece is written, so
// the rest of the file is read after it. So does one whose name leads to
// another file by the time its output is named.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <fstream>
#include <functional>

#include "convert/file_ends.h"
#include "convert/single_file.h"
#include "convert/stream.h"
#include "private_disk.h"
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

// Catches an output named by its path at the end: a folder renamed and a
// link to another folder put in its place sent it there, and a hidden
// temporary was left in the renamed folder.
TEST(SourceChange, AFolderSwappedDuringAConversionGetsTheOutputBesideTheFileThatWasRead) {
  for (const bool unnamed : {true, false}) {
    TempFolder dir;
    std::filesystem::create_directory(dir.native("books"));
    std::filesystem::create_directory(dir.native("other"));
    dir.write("books/a.txt", "\xE4\xB8\xAD\n");  // 中
    dir.write("other/GBK  a.txt", "theirs");
    const int code = in_child([&] {
      if (!unnamed && !refuse_unnamed_files()) return kCannotMount;
      预备转换 prepared = 准备转换(dir.text("books/a.txt"), "UTF-8", "GBK");
      if (!prepared.converted()) return 1;
      std::filesystem::rename(dir.native("books"), dir.native("moved"));
      std::filesystem::create_directory_symlink(dir.native("other"), dir.native("books"));
      return 完成转换(std::move(prepared)).已转换 ? 0 : 2;
    });
    ASSERT_NE(code, kCannotMount);
    EXPECT_EQ(code, 0) << unnamed;
    EXPECT_EQ(dir.read("other/GBK  a.txt"), "theirs");
    EXPECT_EQ(dir.read("moved/GBK  a.txt"), "\xD6\xD0\n");
    std::set<std::string> moved;
    for (const auto& e : std::filesystem::directory_iterator(dir.native("moved"))) moved.insert(e.path().filename());
    EXPECT_EQ(moved, (std::set<std::string>{"a.txt", "GBK  a.txt"})) << unnamed;
  }
}

// Catches a change told by the whole seconds of the modification time: a
// source rewritten to the same size within the same second, as a program
// saving twice in a row does, while it is read and after it was converted
// ahead. The times are set by hand, a tenth of a second apart.
TEST(SourceChange, ARewriteWithinTheSameSecondToTheSameSizeIsNoticed) {
  const time_t second = time(nullptr) - 3600;
  const auto set_time = [&](const std::filesystem::path& p, long nanoseconds) {
    const timespec at[2] = {{second, nanoseconds}, {second, nanoseconds}};
    return utimensat(AT_FDCWD, p.c_str(), at, 0) == 0;
  };
  const auto rewrite = [&](const std::filesystem::path& p, std::streamoff at, const char* bytes) {
    {
      std::fstream f(p, std::ios::binary | std::ios::in | std::ios::out);
      f.seekp(at);
      f << bytes;
    }
    ASSERT_TRUE(set_time(p, 200000000));
  };
  {
    TempFolder dir;
    dir.write("g.txt", gbk_lines(600000));
    ASSERT_TRUE(set_time(dir.native("g.txt"), 100000000));
    platform::SourceFile source;
    ASSERT_EQ(source.open(dir.text("g.txt")), platform::ReadOutcome::read);
    platform::NewFile output;
    ASSERT_TRUE(output.create(dir.text("UTF-8  g.txt"), source.permissions()));
    SourceFileReader reader(source);
    ChangingSink sink(output, [&] { rewrite(dir.native("g.txt"), 2 << 20, "\xB0\xA1"); });  // 啊 over 中
    EXPECT_EQ(流式转码(reader, "GBK", "UTF-8", sink).end, StreamEnd::changed) << "while read";
  }
  {
    TempFolder dir;
    dir.write("a.txt", "old\n");
    ASSERT_TRUE(set_time(dir.native("a.txt"), 100000000));
    预备转换 prepared = 准备转换(dir.text("a.txt"), "UTF-8", "GBK");
    ASSERT_TRUE(prepared.converted());
    rewrite(dir.native("a.txt"), 0, "new\n");
    const 转换结果 r = 完成转换(std::move(prepared));
    EXPECT_FALSE(r.已转换) << "converted ahead";
    EXPECT_EQ(r.file_error, platform::FileError::changed);
    EXPECT_FALSE(dir.exists("GBK  a.txt"));
  }
}
