#include "convert/single_file.h"

#include <algorithm>

#include "convert/encoding_guess.h"
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
  if (result.outcome != Outcome::unrepresentable) result.建议编码 = 猜测编码(S, 原编码);
  return result;
}

预备转换 failed_early(转换结果 result) {
  预备转换 p;
  p.result = std::move(result);
  return p;
}

}  // namespace

bool 预备转换::source_unchanged() const { return source != nullptr && source->still_named(); }

预备转换 准备转换(std::string_view S, std::string_view 原编码, std::string_view 现编码, unsigned workers,
                  const std::atomic<bool>* stop) {
  return 准备转换到(S, 输出文件名(S, 现编码), 原编码, 现编码, workers, stop);
}

预备转换 准备转换到(std::string_view S, std::string_view 输出, std::string_view 原编码, std::string_view 现编码,
                    unsigned workers, const std::atomic<bool>* stop) {
  auto source = std::make_unique<platform::SourceFile>();
  // Anything but a regular file is a failure: an unreadable source must
  // never pass for an empty one.
  if (source->open(S) != platform::ReadOutcome::read) {
    return failed_early(failed(Outcome::source_unreadable, source->error()));
  }
  // The output has no name until the whole file converted; it may be read
  // by no one the source could not be read by.
  auto output = std::make_unique<platform::NewFile>();
  if (!output->create_beside(*source, 输出)) {
    return failed_early(failed(Outcome::output_not_written, output->error()));
  }
  const bool watch_utf8 = 原编码 == "GBK" || 原编码 == "GB18030";
  StreamResult stream;
  bool also_valid_utf8 = false;
  platform::FileError write_error = platform::FileError::none;
  if (const unsigned threads = threads_for(source->size(), 原编码, 现编码, workers); threads > 1) {
    const PartsResult r = 分段转码(*source, 原编码, 现编码, *output, threads, watch_utf8, stop);
    stream = r.stream;
    also_valid_utf8 = r.also_valid_utf8;
    write_error = r.write_error;
  } else {
    SourceFileReader file(*source);
    StoppableSource reader(file, stop);
    Utf8Watch watch(reader);
    NewFileWriter writer(*output);
    const std::size_t piece = std::min(source->size() + 1, kStreamPiece);
    stream = 流式转码(watch_utf8 ? static_cast<ByteSource&>(watch) : reader, 原编码, 现编码, writer, piece);
    also_valid_utf8 = watch.valid_utf8_with_wide_characters();
    write_error = output->error();
  }
  switch (stream.end) {
    case StreamEnd::converted: break;
    case StreamEnd::invalid:
    case StreamEnd::cut_off: return failed_early(place_of(S, 原编码, stream));
    case StreamEnd::unknown_encoding: return failed_early(failed(Outcome::unknown_encoding));
    case StreamEnd::no_memory: return failed_early(failed(Outcome::no_memory));
    case StreamEnd::read_failed:
    case StreamEnd::changed: return failed_early(failed(Outcome::source_unreadable, source->error()));
    case StreamEnd::write_failed: return failed_early(failed(Outcome::output_not_written, write_error));
  }
  // What is needed to see whether the file is still the one converted stays;
  // its handle goes, so that files waiting to be named hold fewer.
  source->close_file();
  预备转换 p;
  p.result.outcome = Outcome::converted;
  p.result.bytes_in = stream.read;
  p.result.bytes_out = stream.written;
  p.result.also_valid_utf8 = also_valid_utf8;
  p.输出 = text::Text(输出);
  p.source = std::move(source);
  p.output = std::move(output);
  return p;
}

转换结果 完成转换(预备转换 prepared) {
  if (!prepared.converted()) return std::move(prepared.result);
  // Converted from the file its name led to then: if the name leads to
  // another file by now (replaced, removed, rewritten or re-permissioned),
  // the output would be made from bytes the user no longer has.
  if (!prepared.source_unchanged()) return failed(Outcome::source_unreadable, platform::FileError::changed);
  prepared.source.reset();
  if (!prepared.output->commit()) return failed(Outcome::output_not_written, prepared.output->error());
  转换结果 result = std::move(prepared.result);
  result.已转换 = true;
  result.输出路径 = std::move(prepared.输出);
  return result;
}

转换结果 转换单个文件(std::string_view S, std::string_view 原编码, std::string_view 现编码,
                      unsigned workers) {
  return 完成转换(准备转换(S, 原编码, 现编码, workers));
}

转换结果 转换单个文件到(std::string_view S, std::string_view 输出, std::string_view 原编码, std::string_view 现编码,
                        unsigned workers) {
  return 完成转换(准备转换到(S, 输出, 原编码, 现编码, workers));
}
