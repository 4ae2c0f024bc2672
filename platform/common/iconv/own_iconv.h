#pragma once
// An iconv of our own, for the Windows edition, which has no system iconv
// (the shim platform/win32/include/iconv.h gives it the usual names). It
// knows GBK, GB18030, UTF-8, UTF-16LE and UTF-32LE (the names in any case)
// and converts between any two of them exactly as the Linux build's glibc
// iconv does: the same output bytes, result, errno and advances of both
// pointers in every case, so that the program behaves the same on both.
//
// - Unknown names: bixiqin_iconv_open returns (bixiqin_iconv_t)-1, errno EINVAL.
// - bixiqin_iconv converts while it can and returns 0 (none of these
//   conversions counts a character as converted irreversibly), or
//   (size_t)-1 with errno E2BIG (output full), EILSEQ (an invalid sequence,
//   or a character the target cannot hold) or EINVAL (the input ends inside
//   a character); the input pointer then stops at the first byte of the
//   character concerned. An invalid or cut sequence there is reported
//   even with no room left; a character the target cannot hold gives
//   E2BIG instead when the room is below what the target asks for before
//   each character (one byte, two for UTF-16LE, four for UTF-32LE; forms.h).
// - With `in` or `*in` null it resets the descriptor: these encodings keep
//   no state, so it writes nothing and returns 0.
// - A descriptor of (bixiqin_iconv_t)-1 gives EBADF.
// Descriptors hold no state and may be used from several threads at once.
#include <cstddef>

typedef void* bixiqin_iconv_t;

bixiqin_iconv_t bixiqin_iconv_open(const char* to, const char* from);
std::size_t bixiqin_iconv(bixiqin_iconv_t cd, char** in, std::size_t* in_left, char** out, std::size_t* out_left);
int bixiqin_iconv_close(bixiqin_iconv_t cd);
