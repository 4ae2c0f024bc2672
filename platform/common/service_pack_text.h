#pragma once
// The version record's service-pack field, as both sides fill it.
#include <string_view>

namespace platform {

// Copies GB18030 text into the 128-byte field, zero-ended: never more than
// 127 bytes, never a character cut in half; the rest of the field zero.
void put_service_pack_text(std::string_view gb18030, char (&field)[128]);

}  // namespace platform
