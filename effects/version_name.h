#pragma once
// Names the running Windows: a marketing name with the edition in Chinese,
// the plain version text, or a raw field of the version record.
#include <cstdint>

#include "platform/version_record.h"
#include "text/text.h"

// 信息类型 selects the item:
//   1 the name with edition (版本名称), e.g. "Microsoft Windows 7 旗舰版"
//   2 the service-pack text up to its first zero byte
//   3 the build number as a signed 32-bit decimal
//   4 the plain version text (版本号文本), e.g. "Microsoft Windows NT 6.1"
//   5 service-pack major "." minor
//   any other: as 1
// This form names the given record; 产品类型码 counts only from version 6 on.
text::Text 取系统版本名(const platform::OSVERSIONINFOEXA& 记录, uint32_t 产品类型码,
                       int32_t 信息类型);

// Names the system the program runs on. Whether the platform could answer is
// not asked: an unfilled record is all zero and names itself accordingly.
text::Text 取系统版本名(int32_t 信息类型);
