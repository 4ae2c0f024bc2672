// 转码字节集 on any bytes for every pair of the three encodings. All or
// nothing: a failure leaves the output empty. A success between two
// encodings that hold the same characters converts back to the same bytes,
// and converting to the same encoding changes nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "convert/transcode.h"
#include "text/byte_set.h"

namespace {
void check(bool ok) {
  if (!ok) std::abort();
}

constexpr std::string_view kNames[] = {"GBK", "GB18030", "UTF-8"};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view from = kNames[(data[0] & 0x0F) % 3];
  const std::string_view to = kNames[(data[0] >> 4) % 3];
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  bool ok = true;
  TranscodeStats stats;
  const text::ByteSet out = 转码字节集(bytes, from, to, ok, &stats);
  if (!ok) {
    check(out.size() == 0);
    return 0;
  }
  check(bytes.empty() == (stats.iconv_calls == 0));
  check(bytes.empty() || out.size() > 0);
  // Every character that made it across is also one of the source
  // encoding's (GBK's are all in GB18030 and Unicode), so the way back works.
  bool back_ok = false;
  const text::ByteSet back = 转码字节集(out.view(), to, from, back_ok);
  check(back_ok);
  check(back.view() == bytes);
  return 0;
}
