#pragma once
// Converting one file: read it, convert it, write it beside itself, and say
// what happened.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_error.h"
#include "platform/new_file.h"
#include "platform/source_file.h"
#include "text/text.h"

// What became of a file: converted, or the one reason why not.
enum class Outcome : unsigned char {
  converted,
  invalid_sequence,    // bytes not valid in the source encoding
  cut_off,             // the file ends inside a character
  unrepresentable,     // a character the target encoding cannot hold
  source_unreadable,   // see file_error
  output_not_written,  // see file_error
  no_memory,           // not even the few buffers of a conversion could be had
  unknown_encoding,
};

struct 转换结果 {
  bool 已转换 = false;
  text::Text 输出路径;  // set when converted
  Outcome outcome = Outcome::source_unreadable;
  platform::FileError file_error = platform::FileError::none;
  std::uint64_t bytes_in = 0;   // of a converted file
  std::uint64_t bytes_out = 0;
  // Where an invalid_sequence, cut_off or unrepresentable one starts: a byte
  // offset from 0, a line and a column (in characters) from 1.
  std::uint64_t offset = 0;
  std::uint64_t line = 0;
  std::uint64_t column = 0;
  std::string bytes;        // the bytes at that place, as the source has them
  char32_t code_point = 0;  // the character of an unrepresentable one
  // Converted from GBK or GB18030, but the file is also valid UTF-8 with
  // characters of three or four bytes (Chinese, in UTF-8): most likely the
  // wrong source encoding was chosen.
  bool also_valid_utf8 = false;
  // Of a file invalid or cut off in its source encoding: another encoding
  // the whole file is valid in, most likely the one meant (猜测编码).
  text::Text 建议编码;
};

// Converts the file S from 原编码 to 现编码 and writes the result as
// 输出文件名(S, 现编码), replacing a file of that name. The file is read and
// written in pieces, so memory does not grow with its size. It counts as
// converted only when it was read whole and unchanged, converted without
// fault and the output fully written; otherwise nothing new is left on disk,
// an earlier output of that name is untouched, and the result says why.
// The source is only ever read; the output gets its permission bits, never
// wider. A large file is converted in parts on up to `workers` threads (0:
// one per core), to the same bytes.
转换结果 转换单个文件(std::string_view S, std::string_view 原编码, std::string_view 现编码,
                      unsigned workers = 0);

// The same, the output named `输出` (beside S: in S's folder) instead of by
// the window's rule.
转换结果 转换单个文件到(std::string_view S, std::string_view 输出, std::string_view 原编码, std::string_view 现编码,
                        unsigned workers = 0);

// A file converted but not yet named: the first half of 转换单个文件, which
// may run on any thread and ahead of the moment its output is due.
struct 预备转换 {
  // A failed file's result is final; a converted one gets 已转换 and
  // 输出路径 from 完成转换.
  转换结果 result;
  text::Text 输出;
  // Kept until the naming: what the source was, to see that its name still
  // leads to it, and the output, unnamed, so that dropping this leaves
  // nothing behind.
  std::unique_ptr<platform::SourceFile> source;
  std::unique_ptr<platform::NewFile> output;

  bool converted() const { return output != nullptr; }
  // Whether the source's name still leads to the file as it was converted.
  bool source_unchanged() const;
};

// Converts as 转换单个文件 does, up to but not including the naming. Once
// `stop` is set the conversion ends early as a failed read.
预备转换 准备转换(std::string_view S, std::string_view 原编码, std::string_view 现编码, unsigned workers = 0,
                  const std::atomic<bool>* stop = nullptr);
预备转换 准备转换到(std::string_view S, std::string_view 输出, std::string_view 原编码, std::string_view 现编码,
                    unsigned workers = 0, const std::atomic<bool>* stop = nullptr);
// Names a converted file's output; a failed file stays failed.
转换结果 完成转换(预备转换 prepared);
