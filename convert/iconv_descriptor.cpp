#include "convert/iconv_descriptor.h"

#include <cerrno>

namespace {

// The offset of the first character beyond U+10FFFF in `bytes`, which hold
// whole characters as iconv reads UTF-8: a lead byte F5 and above, or F4
// with a second byte from 90 on. `size` when there is none.
std::size_t beyond_unicode(const unsigned char* bytes, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    const unsigned char b = bytes[i];
    if (b < 0xF4) continue;
    if (b > 0xF4 || (i + 1 < size && bytes[i + 1] >= 0x90)) return i;
  }
  return size;
}

}  // namespace

std::size_t IconvDescriptor::convert(char** in, std::size_t* in_left, char** out, std::size_t* out_left) const {
  char* const in_start = *in;
  char* const out_start = *out;
  const std::size_t result = iconv(cd_, in, in_left, out, out_left);
  if (!utf8_to_utf8_ || in == nullptr || *in == nullptr) return result;
  const int error = errno;
  // What was written is what was read, byte for byte: a place in the one is
  // the same place in the other.
  const std::size_t written = static_cast<std::size_t>(*out - out_start);
  const std::size_t bad = beyond_unicode(reinterpret_cast<const unsigned char*>(out_start), written);
  if (bad == written) {
    errno = error;
    return result;
  }
  *in_left += static_cast<std::size_t>(*in - in_start) - bad;
  *in = in_start + bad;
  *out_left += written - bad;
  *out = out_start + bad;
  errno = EILSEQ;
  return static_cast<std::size_t>(-1);
}
