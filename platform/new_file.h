#pragma once
// An output file written in pieces and given its name only when complete.
// Until then it has no name at all where the file system allows (an unnamed
// file in the output's folder), so that neither a reader nor a crash ever
// finds half a file; elsewhere it has a hidden name of its own beside the
// output, removed again on failure or when a signal ends the program.
#include <memory>
#include <string_view>

#include "platform/file_error.h"

namespace platform {

class SourceFile;

class NewFile {
 public:
  NewFile();
  // A file not committed is removed.
  ~NewFile();
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;

  // Starts the file that is to become `path` (GBK-family text). Its
  // permission bits are `permissions` less the umask, and never wider than
  // those of a file already under that name. False when it cannot be made.
  bool create(std::string_view path, unsigned permissions);

  // The same for the output of `source`, which is open: `path` is taken in
  // the very folder the source was opened in, wherever that folder is by
  // now. The output may be read by no one the source could not be read by:
  // it gets the source's permission bits, access list and group, and where
  // the list or the group cannot be carried over, narrower bits instead.
  bool create_beside(const SourceFile& source, std::string_view path);

  // Appends `bytes`; false when they cannot all be written (a full disk).
  bool write(std::string_view bytes);

  // Gives the file its name, replacing any file of that name. On failure
  // the file is removed and an existing file of that name is untouched.
  bool commit();

  // Why the last create, write or commit failed.
  FileError error() const;

  // Whether the file is unnamed until its commit (for the tests).
  bool unnamed() const;

  struct State;

 private:
  bool start(unsigned permissions, const SourceFile* source);
  // Notes why (from errno) and removes the file: always false.
  bool fail();
  void discard();

  std::unique_ptr<State> state_;
};

}  // namespace platform
