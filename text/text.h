#pragma once
// GBK-family texts: the byte strings every part of the program works with.
// ASCII bytes stand for themselves; a byte of 0x80 or above starts a two-byte
// character, so searches step over whole characters and never match on a
// trail byte. Positions are 1-based byte positions, -1 means "not found".
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace text {

using Text = std::string;

// Length of the character that starts at byte i (1 or 2; 1 at the very end).
std::size_t char_length(std::string_view t, std::size_t i);

// Left or right n bytes; n <= 0 gives the empty text, n >= length the whole text.
Text left(std::string_view t, long long n);
Text right(std::string_view t, long long n);

// First / last occurrence of `what`, as a 1-based position or -1. The empty
// `what` is never found.
long long find(std::string_view t, std::string_view what);
long long find_last(std::string_view t, std::string_view what);

// Pieces between separators: an empty piece between two adjacent separators
// is kept, an empty piece after a final separator is not; the empty text
// gives no pieces.
std::vector<Text> split(std::string_view t, std::string_view separator);

// Decimal digits without leading zeros or grouping.
Text decimal(long long n);

// Joins any number of texts.
template <class... Parts>
Text join(const Parts&... parts) {
  Text out;
  out.reserve((std::string_view(parts).size() + ... + 0));
  (out.append(std::string_view(parts)), ...);
  return out;
}

}  // namespace text
