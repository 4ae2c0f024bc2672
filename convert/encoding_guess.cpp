#include "convert/encoding_guess.h"

#include "convert/file_ends.h"
#include "convert/stream.h"
#include "convert/utf8_watch.h"
#include "platform/source_file.h"

namespace {

// Takes the converted bytes and throws them away.
class Nowhere final : public ByteSink {
 public:
  bool write(std::string_view) override { return true; }
};

// Notes whether a byte beyond ASCII passed.
class BeyondAscii final : public ByteSource {
 public:
  explicit BeyondAscii(ByteSource& in) : in_(in) {}
  std::ptrdiff_t read(char* into, std::size_t room) override {
    const std::ptrdiff_t n = in_.read(into, room);
    for (std::ptrdiff_t i = 0; i < n && !seen_; ++i) seen_ = static_cast<unsigned char>(into[i]) >= 0x80;
    return n;
  }
  bool intact() const override { return in_.intact(); }
  bool seen() const { return seen_; }

 private:
  ByteSource& in_;
  bool seen_ = false;
};

// Whether the whole file reads as `encoding` with characters beyond ASCII.
bool reads_as(std::string_view S, std::string_view encoding) {
  platform::SourceFile file;
  if (file.open(S) != platform::ReadOutcome::read) return false;
  SourceFileReader reader(file);
  Nowhere nowhere;
  if (encoding == "UTF-8") {
    Utf8Watch watch(reader);
    return 流式转码(watch, "UTF-8", "UTF-8", nowhere).end == StreamEnd::converted &&
           watch.valid_utf8_with_wide_characters();
  }
  BeyondAscii beyond(reader);
  return 流式转码(beyond, encoding, "UTF-8", nowhere).end == StreamEnd::converted && beyond.seen();
}

}  // namespace

text::Text 猜测编码(std::string_view S, std::string_view 原编码) {
  // UTF-8 first: text in another encoding almost never passes as UTF-8 with
  // characters of three or four bytes, while GB18030 takes nearly any pair
  // of bytes (its private-use codes included), so that a UTF-8 file would
  // mostly read as GB18030 garbage too.
  if (原编码 != "UTF-8" && reads_as(S, "UTF-8")) return text::Text("UTF-8");
  // GBK before GB18030: a file GBK holds is named by the narrower choice.
  for (const std::string_view candidate : {std::string_view("GBK"), std::string_view("GB18030")}) {
    if (candidate != 原编码 && reads_as(S, candidate)) return text::Text(candidate);
  }
  return {};
}
