// The streaming conversion against the whole-buffer one: pieces that end
// inside characters, failures at any place, and sources and sinks that fail.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "convert/stream.h"
#include "convert/transcode.h"

namespace {

// Gives its bytes at most `step` at a time, or fails after `fail_after` bytes.
class StringSource final : public ByteSource {
 public:
  explicit StringSource(std::string_view bytes, std::size_t step = SIZE_MAX,
                        std::size_t fail_after = SIZE_MAX)
      : held_(bytes), bytes_(held_), step_(step), fail_after_(fail_after) {}
  std::ptrdiff_t read(char* into, std::size_t room) override {
    if (given_ >= fail_after_) return -1;
    const std::size_t n = std::min({room, step_, bytes_.size()});
    std::memcpy(into, bytes_.data(), n);
    bytes_.remove_prefix(n);
    given_ += n;
    return static_cast<std::ptrdiff_t>(n);
  }

 private:
  std::string held_;
  std::string_view bytes_;
  std::size_t step_;
  std::size_t fail_after_;
  std::size_t given_ = 0;
};

class StringSink final : public ByteSink {
 public:
  explicit StringSink(std::size_t room = SIZE_MAX) : room_(room) {}
  bool write(std::string_view bytes) override {
    if (all.size() + bytes.size() > room_) return false;
    all += bytes;
    return true;
  }
  std::string all;

 private:
  std::size_t room_;
};

std::string repeat(const std::string& s, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += s;
  return out;
}

}  // namespace

// Every piece size from the smallest on puts a piece's end inside a two-,
// three- and four-byte character somewhere; the result must be the whole
// conversion's, byte for byte, success and failure alike.
TEST(Stream, PiecesEndingInsideCharactersGiveTheWholeConversionsResult) {
  const std::string utf8 = repeat("a\xE4\xB8\xAD\xC2\xB7\xF0\x9F\x98\x80\n", 40);  // a中·😀
  const std::string gbk = repeat("\xD6\xD0" "b\xCE\xC4\r\n", 50);
  const std::string gb18030 = repeat("\x95\x32\x82\x36" "c\xD6\xD0", 40);  // 😀c中
  struct Case {
    std::string bytes;
    const char* from;
    const char* to;
    bool converts;
  };
  const Case cases[] = {
      {utf8, "UTF-8", "GB18030", true},
      {gbk, "GBK", "UTF-8", true},
      {gb18030, "GB18030", "UTF-8", true},
      {utf8.substr(0, 101) + "\xFF" + utf8, "UTF-8", "GB18030", false},  // invalid mid-way
      {utf8 + "\xF0\x9F\x98", "UTF-8", "GB18030", false},                // cut off at the end
      {utf8, "UTF-8", "GBK", false},  // GBK has no 😀
      {gbk + "\x81", "GBK", "UTF-8", false},
  };
  for (const Case& c : cases) {
    bool whole_ok = false;
    const text::ByteSet whole = 转码字节集(c.bytes, c.from, c.to, whole_ok);
    ASSERT_EQ(whole_ok, c.converts) << c.from << " -> " << c.to;
    for (std::size_t piece = 16; piece <= 24; ++piece) {
      StringSource source(c.bytes);
      StringSink sink;
      const StreamEnd end = 流式转码(source, c.from, c.to, sink, piece).end;
      EXPECT_EQ(end == StreamEnd::converted, c.converts) << c.from << " piece " << piece;
      if (c.converts) {
        EXPECT_EQ(sink.all, whole.view()) << c.from << " piece " << piece;
      }
    }
    // A source that gives fewer bytes than asked is no end of the input.
    StringSource trickle(c.bytes, 3);
    StringSink sink;
    EXPECT_EQ(流式转码(trickle, c.from, c.to, sink).end == StreamEnd::converted, c.converts);
    if (c.converts) {
      EXPECT_EQ(sink.all, whole.view()) << c.from << " in threes";
    }
  }
}

TEST(Stream, SaysWhereItStopped) {
  const std::string text = repeat("\xE4\xB8\xAD\xE6\x96\x87\n", 100);
  StringSink sink;
  StringSource cut(text + "\xE4\xB8");
  EXPECT_EQ(流式转码(cut, "UTF-8", "GBK", sink, 64).end, StreamEnd::cut_off);
  StringSource invalid(text + "\xFF" + text);
  EXPECT_EQ(流式转码(invalid, "UTF-8", "GBK", sink, 64).end, StreamEnd::invalid);
  StringSource unknown(text);
  EXPECT_EQ(流式转码(unknown, "UTF-8", "NO-SUCH-CODE", sink).end, StreamEnd::unknown_encoding);
  StringSource failing(text, SIZE_MAX, 100);
  EXPECT_EQ(流式转码(failing, "UTF-8", "GBK", sink, 64).end, StreamEnd::read_failed);
  StringSource good(text);
  StringSink full(300);  // room for 60 of the 100 lines
  EXPECT_EQ(流式转码(good, "UTF-8", "GBK", full, 64).end, StreamEnd::write_failed);
  StringSource empty("");
  StringSink nothing;
  EXPECT_EQ(流式转码(empty, "GBK", "UTF-8", nothing).end, StreamEnd::converted);
  EXPECT_EQ(nothing.all, "");
}
