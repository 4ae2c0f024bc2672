#include "convert/transcode.h"

#include <iconv.h>

#include <cerrno>
#include <string>

#include "platform/large_buffer.h"

namespace {

constexpr int kMaxIconvCalls = 12;

class Descriptor {
 public:
  Descriptor(std::string_view to, std::string_view from)
      : cd_(iconv_open(std::string(to).c_str(), std::string(from).c_str())) {}
  ~Descriptor() {
    if (ok()) iconv_close(cd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

}  // namespace

text::ByteSet 转码字节集(const text::ByteSet& 数据, std::string_view 原编码,
                         std::string_view 现编码, bool& 成功, TranscodeStats* stats) {
  return 转码字节集(数据.view(), 原编码, 现编码, 成功, stats);
}

text::ByteSet 转码字节集(std::string_view 数据, std::string_view 原编码, std::string_view 现编码,
                         bool& 成功, TranscodeStats* stats) {
  成功 = false;
  if (stats) *stats = {};
  text::ByteSet out;
  Descriptor cd(现编码, 原编码);
  if (!cd.ok()) return out;
  const std::size_t n = 数据.size();
  if (n == 0) {
    成功 = true;
    return out;
  }
  // Start at the input's size and grow by about half of it: most conversions
  // between these encodings fit at once or after one enlargement.
  const std::size_t growth = n / 2 + 128;
  if (!out.reserve(n)) return out;
  platform::advise_large_buffer(out.data(), out.capacity());

  char* in = const_cast<char*>(数据.data());
  std::size_t in_left = n;
  std::size_t written = 0;
  for (int call = 1; call <= kMaxIconvCalls; ++call) {
    char* dst = out.data() + written;
    std::size_t room = out.capacity() - written;
    const std::size_t r = iconv(cd.get(), &in, &in_left, &dst, &room);
    written = static_cast<std::size_t>(dst - out.data());
    if (stats) stats->iconv_calls = call;
    if (r != static_cast<std::size_t>(-1)) {
      out.set_size(written);
      成功 = true;
      return out;
    }
    if (errno != E2BIG) break;
    // Grows in place where it can; the bytes written so far are kept.
    if (call == kMaxIconvCalls || !out.reserve(out.capacity() + growth)) break;
    platform::advise_large_buffer(out.data(), out.capacity());
  }
  out.release();
  return out;
}
