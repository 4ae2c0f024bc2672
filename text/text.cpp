#include "text/text.h"

namespace text {

std::size_t char_length(std::string_view t, std::size_t i) {
  if (static_cast<unsigned char>(t[i]) >= 0x80 && i + 1 < t.size()) return 2;
  return 1;
}

namespace {

// Whether `what` (not empty, and fitting from i) stands at byte i. The first
// byte is looked at before the rest: these scans stop at every character,
// and paths are split once per file of a run.
bool starts_at(std::string_view t, std::size_t i, std::string_view what) {
  return t[i] == what[0] && t.compare(i, what.size(), what) == 0;
}

}  // namespace

Text left(std::string_view t, long long n) {
  if (n <= 0) return {};
  if (static_cast<unsigned long long>(n) >= t.size()) return Text(t);
  return Text(t.substr(0, static_cast<std::size_t>(n)));
}

Text right(std::string_view t, long long n) {
  if (n <= 0) return {};
  if (static_cast<unsigned long long>(n) >= t.size()) return Text(t);
  return Text(t.substr(t.size() - static_cast<std::size_t>(n)));
}

long long find(std::string_view t, std::string_view what) {
  if (what.empty()) return -1;
  for (std::size_t i = 0; i + what.size() <= t.size(); i += char_length(t, i)) {
    if (starts_at(t, i, what)) return static_cast<long long>(i) + 1;
  }
  return -1;
}

long long find_last(std::string_view t, std::string_view what) {
  // Walk forward so that only character starts are candidates.
  long long last = -1;
  if (what.empty()) return -1;
  for (std::size_t i = 0; i + what.size() <= t.size(); i += char_length(t, i)) {
    if (starts_at(t, i, what)) last = static_cast<long long>(i) + 1;
  }
  return last;
}

std::vector<Text> split(std::string_view t, std::string_view separator) {
  std::vector<Text> pieces;
  if (t.empty()) return pieces;
  if (separator.empty()) {
    pieces.emplace_back(t);
    return pieces;
  }
  std::size_t start = 0;
  std::size_t i = 0;
  while (i + separator.size() <= t.size()) {
    if (starts_at(t, i, separator)) {
      pieces.emplace_back(t.substr(start, i - start));
      i += separator.size();
      start = i;
    } else {
      i += char_length(t, i);
    }
  }
  if (start < t.size()) pieces.emplace_back(t.substr(start));
  return pieces;
}

Text decimal(long long n) { return std::to_string(n); }

}  // namespace text
