#include "files/dropped_files.h"

#include <algorithm>
#include <string_view>

#include "files/output_names.h"
#include "platform/folder.h"

namespace {

// ".txt" at the end is always four ASCII characters: "." is never the
// second byte of a character.
bool ends_in_txt(std::string_view name) {
  if (name.size() < 4) return false;
  const std::string_view tail = name.substr(name.size() - 4);
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return std::equal(tail.begin(), tail.end(), std::string_view(".txt").begin(),
                    [&](char a, char b) { return lower(a) == b; });
}

}  // namespace

std::vector<text::Text> 放下的源文件(const std::vector<text::Text>& dropped) {
  std::vector<text::Text> files;
  for (const text::Text& path : dropped) {
    switch (platform::path_kind(path)) {
      case platform::PathKind::nothing:
        break;
      case platform::PathKind::other:
        files.push_back(path);
        break;
      case platform::PathKind::folder: {
        std::vector<text::Text> names = platform::regular_files_in(path);
        // The program's own outputs stay out, so that converting a folder
        // again does not convert its outputs once more.
        std::erase_if(names, [](const text::Text& name) { return !ends_in_txt(name) || 像输出文件名(name); });
        std::sort(names.begin(), names.end());
        // "/" is never the second byte of a character either.
        const text::Text folder = path.ends_with('/') ? path : path + '/';
        for (const text::Text& name : names) files.push_back(folder + name);
        break;
      }
    }
  }
  return files;
}
