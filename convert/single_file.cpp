#include "convert/single_file.h"

#include <algorithm>

#include "convert/file_ends.h"
#include "convert/output_name.h"
#include "convert/stream.h"

转换结果 转换单个文件(std::string_view S, std::string_view 原编码, std::string_view 现编码) {
  转换结果 result;
  platform::SourceFile source;
  // Anything but a regular file is a failure: an unreadable source must
  // never pass for an empty one.
  if (source.open(S) != platform::ReadOutcome::read) return result;
  text::Text 输出 = 输出文件名(S, 现编码);
  // The output has no name until the whole file converted; it may be read
  // by no one the source could not be read by.
  platform::NewFile output;
  if (!output.create(输出, source.permissions())) return result;
  SourceFileReader reader(source);
  NewFileWriter writer(output);
  const std::size_t piece = std::min(source.size() + 1, kStreamPiece);
  if (流式转码(reader, 原编码, 现编码, writer, piece) != StreamEnd::converted) return result;
  source.close();
  if (!output.commit()) return result;
  result.已转换 = true;
  result.输出路径 = std::move(输出);
  return result;
}
