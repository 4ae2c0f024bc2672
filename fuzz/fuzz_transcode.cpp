// 转码字节集 and the streaming conversion on any bytes for every pair of the
// three encodings. All or nothing: a failure leaves the output empty. A
// success between two encodings that hold the same characters converts back
// to the same bytes, and converting to the same encoding changes nothing.
// Streamed in small pieces, the same bytes convert to the same result.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "convert/stream.h"
#include "convert/transcode.h"
#include "text/byte_set.h"

namespace {
void check(bool ok) {
  if (!ok) std::abort();
}

constexpr std::string_view kNames[] = {"GBK", "GB18030", "UTF-8"};

// Hands out its bytes a few at a time, so that pieces end inside characters.
class Trickle final : public ByteSource {
 public:
  Trickle(std::string_view bytes, std::size_t step) : bytes_(bytes), step_(step) {}
  std::ptrdiff_t read(char* into, std::size_t room) override {
    const std::size_t n = std::min({room, step_, bytes_.size()});
    std::memcpy(into, bytes_.data(), n);
    bytes_.remove_prefix(n);
    return static_cast<std::ptrdiff_t>(n);
  }

 private:
  std::string_view bytes_;
  std::size_t step_;
};

class Collect final : public ByteSink {
 public:
  bool write(std::string_view bytes) override {
    all += bytes;
    return true;
  }
  std::string all;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::string_view from = kNames[(data[0] & 0x0F) % 3];
  const std::string_view to = kNames[(data[0] >> 4) % 3];
  const std::size_t step = 1 + data[1] % 23;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);

  bool ok = true;
  const text::ByteSet out = 转码字节集(bytes, from, to, ok);
  Trickle source(bytes, step);
  Collect streamed;
  const StreamEnd end = 流式转码(source, from, to, streamed, 16 + data[1] % 7).end;
  check((end == StreamEnd::converted) == ok);
  if (!ok) {
    check(out.size() == 0);
    return 0;
  }
  check(streamed.all == out.view());
  check(bytes.empty() || out.size() > 0);
  // Every character that made it across is also one of the source
  // encoding's (GBK's are all in GB18030 and Unicode), so the way back works.
  bool back_ok = false;
  const text::ByteSet back = 转码字节集(out.view(), to, from, back_ok);
  check(back_ok);
  check(back.view() == bytes);
  return 0;
}
