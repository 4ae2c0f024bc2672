#include "convert/single_file.h"

#include <algorithm>

#include "convert/failure_place.h"
#include "convert/file_ends.h"
#include "convert/output_name.h"
#include "convert/parallel_conversion.h"
#include "convert/stream.h"
#include "convert/utf8_watch.h"

namespace {

转换结果 failed(Outcome outcome, platform::FileError error = platform::FileError::none) {
  转换结果 r;
  r.outcome = outcome;
  r.file_error = error;
  return r;
}

// Where and why the conversion stopped, read again from the source. The
// kind and offset the conversion saw stand if the source is gone by now.
转换结果 place_of(std::string_view S, std::string_view 原编码, const StreamResult& stream) {
  转换结果 result = failed(stream.end == StreamEnd::cut_off ? Outcome::cut_off : Outcome::invalid_sequence);
  result.offset = stream.failed_at;
  platform::SourceFile again;
  if (again.open(S) != platform::ReadOutcome::read) return result;
  SourceFileReader reader(again);
  查找失败位置(reader, 原编码, stream.end, stream.failed_at, result);
  return result;
}

}  // namespace

转换结果 转换单个文件(std::string_view S, std::string_view 原编码, std::string_view 现编码,
                      unsigned workers) {
  platform::SourceFile source;
  // Anything but a regular file is a failure: an unreadable source must
  // never pass for an empty one.
  if (source.open(S) != platform::ReadOutcome::read) return failed(Outcome::source_unreadable, source.error());
  text::Text 输出 = 输出文件名(S, 现编码);
  // The output has no name until the whole file converted; it may be read
  // by no one the source could not be read by.
  platform::NewFile output;
  if (!output.create(输出, source.permissions())) return failed(Outcome::output_not_written, output.error());
  const bool watch_utf8 = 原编码 == "GBK" || 原编码 == "GB18030";
  StreamResult stream;
  bool also_valid_utf8 = false;
  platform::FileError write_error = platform::FileError::none;
  if (const unsigned parts = parts_for(source.size(), 原编码, 现编码, workers); parts > 1) {
    const PartsResult r = 分段转码(source, 输出, 原编码, 现编码, output, parts, watch_utf8);
    stream = r.stream;
    also_valid_utf8 = r.also_valid_utf8;
    write_error = r.write_error;
  } else {
    SourceFileReader reader(source);
    Utf8Watch watch(reader);
    NewFileWriter writer(output);
    const std::size_t piece = std::min(source.size() + 1, kStreamPiece);
    stream = 流式转码(watch_utf8 ? static_cast<ByteSource&>(watch) : reader, 原编码, 现编码, writer, piece);
    also_valid_utf8 = watch.valid_utf8_with_wide_characters();
    write_error = output.error();
  }
  switch (stream.end) {
    case StreamEnd::converted: break;
    case StreamEnd::invalid:
    case StreamEnd::cut_off: return place_of(S, 原编码, stream);
    case StreamEnd::unknown_encoding: return failed(Outcome::unknown_encoding);
    case StreamEnd::no_memory: return failed(Outcome::no_memory);
    case StreamEnd::read_failed:
    case StreamEnd::changed: return failed(Outcome::source_unreadable, source.error());
    case StreamEnd::write_failed: return failed(Outcome::output_not_written, write_error);
  }
  source.close();
  if (!output.commit()) return failed(Outcome::output_not_written, output.error());
  转换结果 result;
  result.已转换 = true;
  result.输出路径 = std::move(输出);
  result.outcome = Outcome::converted;
  result.bytes_in = stream.read;
  result.bytes_out = stream.written;
  result.also_valid_utf8 = also_valid_utf8;
  return result;
}
