#include "platform/common/service_pack_text.h"

#include <cstddef>
#include <cstring>

namespace platform {
namespace {

// GB18030 characters are one byte (ASCII), four bytes (lead 0x81-0xFE, then a
// digit) or two bytes.
std::size_t gb18030_char_length(std::string_view t, std::size_t i) {
  if (static_cast<unsigned char>(t[i]) < 0x80) return 1;
  if (i + 1 < t.size() && t[i + 1] >= '0' && t[i + 1] <= '9') return 4;
  return 2;
}

}  // namespace

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
