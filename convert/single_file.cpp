#include "convert/single_file.h"

#include "convert/output_name.h"
#include "convert/transcode.h"
#include "convert/whole_file.h"
#include "platform/mapped_new_file.h"
#include "platform/source_file.h"

namespace {

// From this size on a file is converted between mappings: the input straight
// from its own pages, the output built in the new file's pages. Below it,
// one ordinary read and write cost less than setting up two mappings.
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

// Converts `input` and writes it as the file `输出`, in place where the file
// system allows, otherwise through memory and one write.
bool convert_and_write(std::string_view input, std::string_view 原编码, std::string_view 现编码,
                       const text::Text& 输出, platform::SourceFile& source, text::ByteSet& 数据) {
  platform::MappedNewFile mapped;
  if (input.size() >= kMappedFrom && mapped.start(输出, input.size())) {
    MappedRoom room(mapped);
    const std::optional<std::size_t> written = 转码到(input, 原编码, 现编码, room);
    source.close();
    数据.release();
    return written && mapped.commit(*written);
  }
  bool 成功 = false;
  text::ByteSet 结果 = 转码字节集(input, 原编码, 现编码, 成功);
  // The input goes before the output is written: two copies at most.
  source.close();
  数据.release();
  return 成功 && 写出文件(输出, 结果);
}

}  // namespace

转换结果 转换单个文件(std::string_view S, std::string_view 原编码, std::string_view 现编码) {
  转换结果 result;
  platform::SourceFile source;
  if (source.open(S) != platform::ReadOutcome::read) return result;
  text::ByteSet 数据;
  std::string_view input;
  if (source.size() >= kMappedFrom && source.map()) {
    input = source.mapped();
  } else {
    // Anything but a regular file read to its end is a failure: an
    // unreadable source must never pass for an empty one.
    if (source.read_all(数据) != platform::ReadOutcome::read) return result;
    input = 数据.view();
  }
  text::Text 输出 = 输出文件名(S, 现编码);
  if (!convert_and_write(input, 原编码, 现编码, 输出, source, 数据)) return result;
  result.已转换 = true;
  result.输出路径 = std::move(输出);
  return result;
}
