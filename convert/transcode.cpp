#include "convert/transcode.h"

#include <iconv.h>

#include <cerrno>
#include <string>

#include "platform/bus_error_guard.h"
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

// A byte set as the room, its fresh memory faulted in at once.
class ByteSetRoom final : public TranscodeRoom {
 public:
  explicit ByteSetRoom(text::ByteSet& bytes) : bytes_(bytes) {}
  char* data() override { return bytes_.data(); }
  std::size_t capacity() const override { return bytes_.capacity(); }
  bool reserve(std::size_t capacity) override {
    if (!bytes_.reserve(capacity)) return false;
    platform::advise_large_buffer(bytes_.data(), bytes_.capacity());
    return true;
  }

 private:
  text::ByteSet& bytes_;
};

// One iconv() call under the bus error guard: the input may be a mapped file
// that another program cuts short meanwhile, which then fails the conversion.
struct IconvCall {
  iconv_t cd;
  char** in;
  std::size_t* in_left;
  char** out;
  std::size_t* out_left;
  std::size_t result = 0;
  int error = 0;
};

void call_iconv(void* context) {
  auto* c = static_cast<IconvCall*>(context);
  c->result = iconv(c->cd, c->in, c->in_left, c->out, c->out_left);
  c->error = errno;
}

}  // namespace

text::ByteSet 转码字节集(const text::ByteSet& 数据, std::string_view 原编码,
                         std::string_view 现编码, bool& 成功, TranscodeStats* stats) {
  return 转码字节集(数据.view(), 原编码, 现编码, 成功, stats);
}

text::ByteSet 转码字节集(std::string_view 数据, std::string_view 原编码, std::string_view 现编码,
                         bool& 成功, TranscodeStats* stats) {
  text::ByteSet out;
  ByteSetRoom room(out);
  const std::optional<std::size_t> written = 转码到(数据, 原编码, 现编码, room, stats);
  成功 = written.has_value();
  if (成功) {
    out.set_size(*written);
  } else {
    out.release();
  }
  return out;
}

std::optional<std::size_t> 转码到(std::string_view 数据, std::string_view 原编码,
                                  std::string_view 现编码, TranscodeRoom& room,
                                  TranscodeStats* stats) {
  if (stats) *stats = {};
  Descriptor cd(现编码, 原编码);
  if (!cd.ok()) return std::nullopt;
  const std::size_t n = 数据.size();
  if (n == 0) return 0;
  // Start at the input's size and grow by about half of it: most conversions
  // between these encodings fit at once or after one enlargement.
  const std::size_t growth = n / 2 + 128;
  if (!room.reserve(n)) return std::nullopt;

  char* in = const_cast<char*>(数据.data());
  std::size_t in_left = n;
  std::size_t written = 0;
  for (int call = 1; call <= kMaxIconvCalls; ++call) {
    char* dst = room.data() + written;
    std::size_t space = room.capacity() - written;
    IconvCall c{cd.get(), &in, &in_left, &dst, &space};
    if (stats) stats->iconv_calls = call;
    if (!platform::call_catching_bus_errors(call_iconv, &c)) break;
    written = static_cast<std::size_t>(dst - room.data());
    if (c.result != static_cast<std::size_t>(-1)) return written;
    if (c.error != E2BIG) break;
    // The room may move as it grows; the bytes written so far are kept.
    if (call == kMaxIconvCalls || !room.reserve(room.capacity() + growth)) break;
  }
  return std::nullopt;
}
