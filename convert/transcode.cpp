#include "convert/transcode.h"

#include <cerrno>

#include "convert/iconv_descriptor.h"

namespace {

constexpr int kMaxIconvCalls = 12;

// The conversion proper, into `out`; false on any failure.
bool convert_into(std::string_view 数据, std::string_view 原编码, std::string_view 现编码,
                  text::ByteSet& out) {
  IconvDescriptor cd(原编码, 现编码);
  if (!cd.ok()) return false;
  const std::size_t n = 数据.size();
  if (n == 0) return true;
  // Start at the input's size and grow by about half of it: most conversions
  // between these encodings fit at once or after one enlargement.
  const std::size_t growth = n / 2 + 128;
  if (!out.reserve(n)) return false;

  char* in = const_cast<char*>(数据.data());
  std::size_t in_left = n;
  std::size_t written = 0;
  for (int call = 1; call <= kMaxIconvCalls; ++call) {
    char* dst = out.data() + written;
    std::size_t space = out.capacity() - written;
    const std::size_t result = cd.convert(&in, &in_left, &dst, &space);
    const int error = errno;
    written = static_cast<std::size_t>(dst - out.data());
    if (result != static_cast<std::size_t>(-1)) {
      out.set_size(written);
      return true;
    }
    if (error != E2BIG) return false;
    // The bytes written so far and the position in the input are kept.
    if (call == kMaxIconvCalls || !out.reserve(out.capacity() + growth)) return false;
  }
  return false;
}

}  // namespace

text::ByteSet 转码字节集(const text::ByteSet& 数据, std::string_view 原编码,
                         std::string_view 现编码, bool& 成功) {
  return 转码字节集(数据.view(), 原编码, 现编码, 成功);
}

text::ByteSet 转码字节集(std::string_view 数据, std::string_view 原编码, std::string_view 现编码,
                         bool& 成功) {
  text::ByteSet out;
  成功 = convert_into(数据, 原编码, 现编码, out);
  if (!成功) out.release();
  return out;
}
