#include "convert/utf8_watch.h"

std::ptrdiff_t Utf8Watch::read(char* into, std::size_t room) {
  const std::ptrdiff_t n = source_.read(into, room);
  if (n > 0 && valid_) look_at(reinterpret_cast<const unsigned char*>(into), static_cast<std::size_t>(n));
  return n;
}

void Utf8Watch::look_at(const unsigned char* bytes, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    const unsigned char b = bytes[i];
    if (pending_ > 0) {
      if (b < low_ || b > high_) {
        valid_ = false;
        return;
      }
      low_ = 0x80;
      high_ = 0xBF;
      --pending_;
      continue;
    }
    if (b < 0x80) continue;
    // The first continuation byte's range rules out overlong forms,
    // surrogates and code points beyond U+10FFFF.
    if (b >= 0xC2 && b <= 0xDF) {
      pending_ = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      pending_ = 2;
      wide_ = true;
      if (b == 0xE0) low_ = 0xA0;
      if (b == 0xED) high_ = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      pending_ = 3;
      wide_ = true;
      if (b == 0xF0) low_ = 0x90;
      if (b == 0xF4) high_ = 0x8F;
    } else {
      valid_ = false;
      return;
    }
  }
}
