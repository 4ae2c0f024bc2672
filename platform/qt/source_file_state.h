#pragma once
// What an open source file holds, shared by the file and the new file
// written beside it (both of this folder only).
#include <sys/stat.h>
#include <sys/types.h>

#include <atomic>
#include <memory>
#include <string>

#include "platform/file_error.h"
#include "platform/source_file.h"

namespace platform {

// A handle on a folder, by which files in it are opened, made and named.
struct FolderHandle {
  explicit FolderHandle(int descriptor, std::string native_path)
      : fd(descriptor), path(std::move(native_path)) {}
  ~FolderHandle();
  FolderHandle(const FolderHandle&) = delete;
  FolderHandle& operator=(const FolderHandle&) = delete;
  const int fd;
  const std::string path;  // as it was opened, "." for the current folder
};

// The folder of the native `path` (up to its last "/") and the name in it.
struct PathParts {
  std::string folder;
  std::string name;
};
PathParts split_native_path(const std::string& path);

// Opens the folder `native` for naming files in it; nothing (errno set)
// when it cannot be opened.
std::shared_ptr<FolderHandle> open_folder(const std::string& native);

struct SourceFile::State {
  int fd = -1;
  std::shared_ptr<FolderHandle> folder;
  std::string name;    // in the folder
  struct stat opened {};  // as it was when opened
  bool size_known = true;  // false for the system's own files, which say they are empty
  off_t position = 0;
  mutable std::atomic<FileError> error{FileError::none};
};

}  // namespace platform
