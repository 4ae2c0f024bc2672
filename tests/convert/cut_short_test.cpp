// A large source is converted straight from its mapping. If another program
// cuts it short meanwhile, reading the vanished pages raises a bus error:
// the conversion must fail cleanly, and only that conversion.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>

#include "convert/transcode.h"
#include "platform/bus_error_guard.h"
#include "platform/source_file.h"
#include "temp_folder.h"

namespace {

const std::string kLineGbk = "\xD6\xD0\xCE\xC4\n";  // 中文

std::string gbk_lines(int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += kLineGbk;
  return out;
}

// Output room that cuts the source short the first time it has to grow,
// that is between two iconv() calls, so the next call meets missing pages.
class CuttingRoom final : public TranscodeRoom {
 public:
  explicit CuttingRoom(std::filesystem::path source) : source_(std::move(source)) {}
  char* data() override { return bytes_.data(); }
  std::size_t capacity() const override { return bytes_.capacity(); }
  bool reserve(std::size_t capacity) override {
    if (bytes_.capacity() > 0 && !cut_) {
      std::filesystem::resize_file(source_, 0);
      cut_ = true;
    }
    return bytes_.reserve(capacity);
  }
  bool cut() const { return cut_; }

 private:
  std::filesystem::path source_;
  text::ByteSet bytes_;
  bool cut_ = false;
};

void sum_bytes(void* context) {
  auto* view = static_cast<std::string_view*>(context);
  volatile unsigned sum = 0;
  for (char c : *view) sum = sum + static_cast<unsigned char>(c);
}

}  // namespace

TEST(CutShort, ConversionOfAMappedSourceCutShortFailsAndTheProcessGoesOn) {
  TempFolder dir;
  dir.write("g.txt", gbk_lines(1000000));  // 5 MB; 7 MB in UTF-8, so the room grows once
  platform::SourceFile source;
  ASSERT_EQ(source.open(dir.text("g.txt")), platform::ReadOutcome::read);
  ASSERT_TRUE(source.map());

  CuttingRoom room(dir.native("g.txt"));
  TranscodeStats stats;
  EXPECT_FALSE(转码到(source.mapped(), "GBK", "UTF-8", room, &stats).has_value());
  EXPECT_TRUE(room.cut());
  EXPECT_EQ(stats.iconv_calls, 2);

  // The same kind of conversion goes on working afterwards.
  dir.write("h.txt", gbk_lines(1000));
  platform::SourceFile again;
  ASSERT_EQ(again.open(dir.text("h.txt")), platform::ReadOutcome::read);
  text::ByteSet bytes;
  ASSERT_EQ(again.read_all(bytes), platform::ReadOutcome::read);
  bool ok = false;
  EXPECT_EQ(转码字节集(bytes, "GBK", "UTF-8", ok).size(), 7000u);
  EXPECT_TRUE(ok);
}

TEST(CutShort, GuardCatchesOnlyWhatHappensUnderIt) {
  TempFolder dir;
  dir.write("x.txt", gbk_lines(10000));
  platform::SourceFile source;
  ASSERT_EQ(source.open(dir.text("x.txt")), platform::ReadOutcome::read);
  ASSERT_TRUE(source.map());
  std::string_view view = source.mapped();
  EXPECT_TRUE(platform::call_catching_bus_errors(sum_bytes, &view));
  std::filesystem::resize_file(dir.native("x.txt"), 0);
  EXPECT_FALSE(platform::call_catching_bus_errors(sum_bytes, &view));
  EXPECT_FALSE(platform::call_catching_bus_errors(sum_bytes, &view)) << "the guard holds twice";
  // Outside the guard a bus error is what it always was: the end.
  EXPECT_DEATH(sum_bytes(&view), "");
}
