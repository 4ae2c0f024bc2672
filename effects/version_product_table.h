#pragma once
// The edition that the product code of Windows 6 and later stands for.
#include <cstdint>

#include "text/text.h"

// The edition suffix (" 旗舰版", " 企业版", …) of a product code, with its
// leading blank; the empty text for a code the table does not know (0 among
// them).
text::Text product_edition_suffix(uint32_t 产品类型码);
