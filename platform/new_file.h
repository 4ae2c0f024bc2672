#pragma once
// An output file written in pieces and given its name only when complete.
// Until then it has no name at all where the file system allows (an unnamed
// file in the output's folder), so that neither a reader nor a crash ever
// finds half a file; elsewhere it has a hidden name of its own beside the
// output, removed again on failure.
#include <string>
#include <string_view>

#include "platform/file_error.h"

namespace platform {

class NewFile {
 public:
  NewFile() = default;
  // A file not committed is removed.
  ~NewFile() { discard(); }
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;

  // Starts the file that is to become `path` (GBK-family text). Its
  // permission bits are `permissions` less the umask, and never wider than
  // those of a file already under that name. False when it cannot be made.
  bool create(std::string_view path, unsigned permissions);

  // Appends `bytes`; false when they cannot all be written (a full disk).
  bool write(std::string_view bytes);

  // Gives the file its name, replacing any file of that name. On failure
  // the file is removed and an existing file of that name is untouched.
  bool commit();

  // Why the last create, write or commit failed.
  FileError error() const { return error_; }

  // Whether the file is unnamed until its commit (for the tests).
  bool unnamed() const { return fd_ >= 0 && temporary_.empty(); }

 private:
  // Gives the unnamed file the name `name`; false (errno set) when it cannot.
  bool link_unnamed(const std::string& name) const;
  bool name_temporarily();
  // Links the unnamed file under the output's name when none has it yet:
  // false when that could not be done (a file of that name, say), and true
  // when it was tried, error_ telling whether it succeeded.
  bool link_as_output();
  // Notes why (from errno) and removes the file: always false.
  bool fail();
  void discard();

  std::string final_;
  std::string temporary_;  // the file's name before its commit, if it has one
  int fd_ = -1;
  FileError error_ = FileError::none;
};

}  // namespace platform
