#include "platform/common/iconv/own_iconv.h"

#include <cerrno>
#include <cstdint>

#include "platform/common/iconv/forms.h"
#include "platform/common/iconv/gb_forms.h"
#include "platform/common/iconv/gb_maps.h"
#include "platform/common/iconv/utf_forms.h"

namespace own_iconv {
namespace {

using Convert = std::size_t (*)(char**, std::size_t*, char**, std::size_t*);

// One character after the other: read it, make sure of the room the target
// asks for, write it. The first thing that fails is the answer, so E2BIG
// comes before an invalid or unwritable character only when the room is
// short before that character.
template <class From, class To>
std::size_t convert(char** in, std::size_t* in_left, char** out, std::size_t* out_left) {
  const GbMaps* maps = nullptr;
  if constexpr (From::kUsesMaps || To::kUsesMaps) maps = &gb_maps();
  const auto* src = reinterpret_cast<const unsigned char*>(*in);
  const unsigned char* const src_end = src + *in_left;
  auto* dst = reinterpret_cast<unsigned char*>(*out);
  unsigned char* const dst_end = dst + *out_left;
  int error = 0;
  while (src < src_end) {
    std::uint32_t code_point = 0;
    const int read = From::decode(maps, src, static_cast<std::size_t>(src_end - src), code_point);
    if (read < 0) {
      error = read == kCut ? EINVAL : EILSEQ;
      break;
    }
    const auto room = static_cast<std::size_t>(dst_end - dst);
    if (room < To::kMinRoom) {
      error = E2BIG;
      break;
    }
    const int written = To::encode(maps, code_point, dst, room);
    if (written < 0) {
      error = written == kNoRoom ? E2BIG : EILSEQ;
      break;
    }
    src += read;
    dst += written;
  }
  *in = reinterpret_cast<char*>(const_cast<unsigned char*>(src));
  *in_left = static_cast<std::size_t>(src_end - src);
  *out = reinterpret_cast<char*>(dst);
  *out_left = static_cast<std::size_t>(dst_end - dst);
  if (error != 0) {
    errno = error;
    return static_cast<std::size_t>(-1);
  }
  return 0;
}

struct Descriptor {
  Convert convert;
};

constexpr int kEncodings = 5;

template <class From>
constexpr Descriptor kFrom[kEncodings] = {{convert<From, Gbk>}, {convert<From, Gb18030>}, {convert<From, Utf8>},
                                          {convert<From, Utf16Le>}, {convert<From, Utf32Le>}};
constexpr const Descriptor* kDescriptors[kEncodings] = {kFrom<Gbk>, kFrom<Gb18030>, kFrom<Utf8>, kFrom<Utf16Le>,
                                                        kFrom<Utf32Le>};

// The position of `name` among GBK, GB18030, UTF-8, UTF-16LE and UTF-32LE,
// any case; -1 for others.
int encoding(const char* name) {
  constexpr const char* kNames[kEncodings] = {"GBK", "GB18030", "UTF-8", "UTF-16LE", "UTF-32LE"};
  for (int e = 0; e < kEncodings; ++e) {
    const char* a = name;
    const char* b = kNames[e];
    while (*a != '\0' && (*a == *b || (*a >= 'a' && *a <= 'z' && *a - 'a' + 'A' == *b))) {
      ++a;
      ++b;
    }
    if (*a == '\0' && *b == '\0') return e;
  }
  return -1;
}

const bixiqin_iconv_t kBad = reinterpret_cast<bixiqin_iconv_t>(static_cast<std::uintptr_t>(-1));

}  // namespace
}  // namespace own_iconv

bixiqin_iconv_t bixiqin_iconv_open(const char* to, const char* from) {
  const int t = to != nullptr ? own_iconv::encoding(to) : -1;
  const int f = from != nullptr ? own_iconv::encoding(from) : -1;
  if (t < 0 || f < 0) {
    errno = EINVAL;
    return own_iconv::kBad;
  }
  // Nothing to allocate: every descriptor of a pair is the same constant.
  return const_cast<own_iconv::Descriptor*>(&own_iconv::kDescriptors[f][t]);
}

std::size_t bixiqin_iconv(bixiqin_iconv_t cd, char** in, std::size_t* in_left, char** out, std::size_t* out_left) {
  if (cd == own_iconv::kBad || cd == nullptr) {
    errno = EBADF;
    return static_cast<std::size_t>(-1);
  }
  if (in == nullptr || *in == nullptr) return 0;
  return static_cast<const own_iconv::Descriptor*>(cd)->convert(in, in_left, out, out_left);
}

int bixiqin_iconv_close(bixiqin_iconv_t cd) {
  if (cd == own_iconv::kBad || cd == nullptr) {
    errno = EBADF;
    return -1;
  }
  return 0;
}
