#pragma once
// The open dialog's filter list as the request record holds it: label,
// zero, pattern, zero, ..., and one more zero.
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// The label/pattern pairs, in order; a label without its pattern is
// dropped. None for a null list.
inline std::vector<std::pair<std::string_view, std::string_view>> filter_pairs(const char* list) {
  std::vector<std::pair<std::string_view, std::string_view>> pairs;
  if (list == nullptr) return pairs;
  while (*list) {
    const std::string_view label(list);
    list += label.size() + 1;
    if (!*list) break;
    const std::string_view pattern(list);
    list += pattern.size() + 1;
    pairs.emplace_back(label, pattern);
  }
  return pairs;
}

}  // namespace platform
