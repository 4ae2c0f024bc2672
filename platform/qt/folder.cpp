#include "platform/folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <string>

#include "text/encoding_boundary.h"

namespace platform {

PathKind path_kind(std::string_view path) {
  const std::string native = text::to_utf8(path);
  struct stat st {};
  if (native.empty() || stat(native.c_str(), &st) != 0) return PathKind::nothing;
  return S_ISDIR(st.st_mode) ? PathKind::folder : PathKind::other;
}

std::vector<text::Text> regular_files_in(std::string_view folder) {
  std::vector<text::Text> names;
  const std::string native = text::to_utf8(folder);
  DIR* dir = native.empty() ? nullptr : opendir(native.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = readdir(dir)) {
    struct stat st {};
    if (fstatat(dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode)) {
      names.push_back(text::from_utf8(entry->d_name));
    }
  }
  closedir(dir);
  return names;
}

}  // namespace platform
