#include "convert/single_file.h"

#include "convert/output_name.h"
#include "convert/transcode.h"
#include "convert/whole_file.h"
#include "platform/mapped_new_file.h"

namespace {

// From this size on the output is built in the new file's own pages. Below
// it, one ordinary write costs less than setting up a mapping.
constexpr std::size_t kMappedFrom = std::size_t{4} << 20;

class MappedRoom final : public TranscodeRoom {
 public:
  explicit MappedRoom(platform::MappedNewFile& file) : file_(file) {}
  char* data() override { return file_.data(); }
  std::size_t capacity() const override { return file_.capacity(); }
  bool reserve(std::size_t capacity) override { return file_.reserve(capacity); }

 private:
  platform::MappedNewFile& file_;
};

}  // namespace

转换结果 转换单个文件(std::string_view S, std::string_view 原编码, std::string_view 现编码) {
  转换结果 result;
  text::ByteSet 数据;
  if (!读取整个文件(S, 数据)) return result;
  text::Text 输出 = 输出文件名(S, 现编码);

  platform::MappedNewFile mapped;
  if (数据.size() >= kMappedFrom && mapped.start(输出, 数据.size())) {
    MappedRoom room(mapped);
    const std::optional<std::size_t> written = 转码到(数据.view(), 原编码, 现编码, room);
    数据.release();
    if (!written || !mapped.commit(*written)) return result;
  } else {
    // Where no mapping can be had (some file systems cannot reserve room
    // ahead), the output is converted into memory and written out.
    bool 成功 = false;
    text::ByteSet 结果 = 转码字节集(数据, 原编码, 现编码, 成功);
    // The input goes before the output is written: two copies at most.
    数据.release();
    if (!成功 || !写出文件(输出, 结果)) return result;
  }
  result.已转换 = true;
  result.输出路径 = std::move(输出);
  return result;
}
