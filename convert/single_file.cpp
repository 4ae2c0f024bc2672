#include "convert/single_file.h"

#include "convert/output_name.h"
#include "convert/transcode.h"
#include "convert/whole_file.h"

转换结果 转换单个文件(std::string_view S, std::string_view 原编码, std::string_view 现编码) {
  转换结果 result;
  text::ByteSet 数据;
  if (!读取整个文件(S, 数据)) return result;
  bool 成功 = false;
  text::ByteSet 结果 = 转码字节集(数据, 原编码, 现编码, 成功);
  // The input goes before the output is written: two copies at most.
  数据.release();
  if (!成功) return result;
  text::Text 输出 = 输出文件名(S, 现编码);
  if (!写出文件(输出, 结果)) return result;
  result.已转换 = true;
  result.输出路径 = std::move(输出);
  return result;
}
