#include "convert/reason_text.h"

#include <cstdio>

#include "files/path_split.h"
#include "text/gbk_literal.h"

namespace {

using platform::FileError;

// "FF FE": the bytes at the place, as a reader of a hex dump writes them.
text::Text hex_bytes(std::string_view bytes) {
  text::Text out;
  for (const char c : bytes) {
    char two[4];
    std::snprintf(two, sizeof two, "%02X", static_cast<unsigned char>(c));
    if (!out.empty()) out += ' ';
    out += two;
  }
  return out;
}

text::Text code_point(char32_t c) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(c));
  return buffer;
}

text::Text number(std::uint64_t n) { return text::decimal(static_cast<long long>(n)); }

text::Text too_many_open(bool zh) {
  return zh ? "同时打开的文件太多"_gbk : "too many files are open at once";
}

text::Text source_problem(FileError e, bool zh) {
  switch (e) {
    case FileError::missing: return zh ? "找不到这个文件"_gbk : "no such file";
    case FileError::no_permission: return zh ? "没有读取权限"_gbk : "no permission to read it";
    case FileError::folder: return zh ? "这是一个文件夹"_gbk : "it is a folder";
    case FileError::not_a_file: return zh ? "不是普通文件"_gbk : "not a regular file";
    case FileError::changed:
      return zh ? "转换时文件被其他程序改动了"_gbk : "another program changed it while it was converted";
    case FileError::name_too_long: return zh ? "文件名太长"_gbk : "its name is too long";
    case FileError::too_many_open: return too_many_open(zh);
    case FileError::name_not_allowed:
      return zh ? "系统不允许这样的文件名"_gbk : "the system does not allow such a name";
    case FileError::name_not_carried:
      return zh ? "文件名含有系统无法表示的字符"_gbk : "its name holds characters the system cannot spell";
    default: return zh ? "读取出错"_gbk : "it could not be read";
  }
}

text::Text output_problem(FileError e, bool zh) {
  switch (e) {
    case FileError::no_room: return zh ? "磁盘已满"_gbk : "the disk is full";
    case FileError::too_large:
      return zh ? "输出文件超过了系统允许的单个文件大小"_gbk : "the output is larger than this system allows for one file";
    case FileError::too_many_open: return too_many_open(zh);
    case FileError::no_permission: return zh ? "没有写入权限"_gbk : "no permission to write the output";
    case FileError::folder_in_the_way:
      return zh ? "已有同名的文件夹，输出文件无法写入"_gbk : "a folder has the output's name";
    case FileError::name_too_long: return zh ? "输出文件名太长"_gbk : "the output's name is too long";
    case FileError::read_only: return zh ? "磁盘是只读的"_gbk : "the disk is read-only";
    case FileError::missing: return zh ? "输出文件夹不存在"_gbk : "the output's folder does not exist";
    case FileError::name_not_allowed:
      return zh ? "系统不允许这样的输出文件名"_gbk : "the system does not allow the output's name";
    case FileError::name_not_carried:
      return zh ? "输出文件名含有系统无法表示的字符"_gbk : "the output's name holds characters the system cannot spell";
    default: return zh ? "输出文件无法写入"_gbk : "the output could not be written";
  }
}

}  // namespace

text::Text 转换说明(const 转换结果& r, std::string_view 原编码, std::string_view 现编码,
                    Language language) {
  const bool zh = language == Language::chinese;
  const text::Text from(原编码);
  const text::Text to(现编码);
  const text::Text where = zh ? text::join("第 "_gbk, number(r.line), " 行第 "_gbk, number(r.column), " 列"_gbk)
                              : text::join("line ", number(r.line), ", column ", number(r.column));
  switch (r.outcome) {
    case Outcome::converted:
      return zh ? text::join("已转换为 "_gbk, 取路径名或网址左右(r.输出路径, 1))
                : text::join("converted to ", 取路径名或网址左右(r.输出路径, 1));
    case Outcome::invalid_sequence:
      return zh ? text::join(where, "：不是有效的 "_gbk, from, " 字节 ("_gbk, hex_bytes(r.bytes), ")")
                : text::join(where, ": not valid ", from, " (bytes ", hex_bytes(r.bytes), ")");
    case Outcome::cut_off:
      return zh ? text::join(where, "：文件在一个 "_gbk, from, " 字符的中间结束 ("_gbk, hex_bytes(r.bytes), ")")
                : text::join(where, ": the file ends inside a ", from, " character (bytes ",
                             hex_bytes(r.bytes), ")");
    case Outcome::unrepresentable:
      return zh ? text::join("字符 "_gbk, code_point(r.code_point), " 无法用 "_gbk, to, " 表示 ("_gbk, where, ")")
                : text::join("character ", code_point(r.code_point), " cannot be written in ", to, " (",
                             where, ")");
    case Outcome::source_unreadable: return source_problem(r.file_error, zh);
    case Outcome::output_not_written: return output_problem(r.file_error, zh);
    case Outcome::no_memory: return zh ? "内存不足"_gbk : "out of memory";
    case Outcome::unknown_encoding: return zh ? "不认识的编码名"_gbk : "unknown encoding";
  }
  return {};
}

text::Text 编码提醒(std::string_view 原编码, Language language) {
  const text::Text from(原编码);
  return language == Language::chinese
             ? text::join("已按 "_gbk, from, " 转换，但这个文件也是有效的 UTF-8 文本：原编码很可能应选 UTF-8，结果可能是乱码"_gbk)
             : text::join("converted from ", from,
                          ", but the file is also valid UTF-8: its encoding is probably UTF-8, and the "
                          "output garbled");
}

text::Text 编码建议(std::string_view 建议编码, Language language) {
  const text::Text named(建议编码);
  return language == Language::chinese ? text::join("看起来是 "_gbk, named, " 编码：原编码请选 "_gbk, named)
                                       : text::join("it looks like ", named, ": use --from ", named);
}
