#pragma once
// <iconv.h> for the Windows edition, which has no system iconv: the usual
// names forwarding to our own (platform/common/iconv/own_iconv.h), so that
// code written against iconv compiles unchanged. Only this edition puts
// this folder on its include path; its programs link bixiqin_own_iconv.
#include <cstddef>

#include "platform/common/iconv/own_iconv.h"

typedef bixiqin_iconv_t iconv_t;

inline iconv_t iconv_open(const char* to, const char* from) { return bixiqin_iconv_open(to, from); }

inline std::size_t iconv(iconv_t cd, char** in, std::size_t* in_left, char** out, std::size_t* out_left) {
  return bixiqin_iconv(cd, in, in_left, out, out_left);
}

inline int iconv_close(iconv_t cd) { return bixiqin_iconv_close(cd); }
