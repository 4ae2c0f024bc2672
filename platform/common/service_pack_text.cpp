#include "platform/common/service_pack_text.h"

#include <cstddef>
#include <cstring>

#include "platform/common/gb18030_char.h"

namespace platform {

void put_service_pack_text(std::string_view gb18030, char (&field)[128]) {
  std::size_t kept = 0;
  while (kept < gb18030.size()) {
    const std::size_t next = kept + gb18030_char_length(gb18030, kept);
    if (next > sizeof field - 1) break;
    kept = next;
  }
  std::memset(field, 0, sizeof field);
  std::memcpy(field, gb18030.data(), kept);
}

}  // namespace platform
