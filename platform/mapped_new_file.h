#pragma once
// A new file written in place through a memory mapping. Large outputs are
// built straight in the file's pages: no buffer of their own and no copy when
// they are written, which halves the fresh memory a large conversion touches.
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

class MappedNewFile {
 public:
  MappedNewFile() = default;
  // A file not committed is removed.
  ~MappedNewFile();
  MappedNewFile(const MappedNewFile&) = delete;
  MappedNewFile& operator=(const MappedNewFile&) = delete;

  // Makes a hidden temporary file beside `path` (GBK-family text) with room
  // for `capacity` bytes. The room is reserved on disk before any byte is
  // written, so writing through the mapping can never meet a full disk.
  // False where the file system or the memory cannot do this (the caller
  // then writes the file the ordinary way); nothing is left behind.
  bool start(std::string_view path, std::size_t capacity);

  // At least `capacity` bytes of room, keeping the bytes so far; false when
  // the room cannot be had. data() may move.
  bool reserve(std::size_t capacity);

  char* data() { return data_; }
  std::size_t capacity() const { return capacity_; }

  // Cuts the file to its first `size` bytes and gives it the final name,
  // replacing any file of that name. On failure the file is removed and an
  // existing file of that name is untouched.
  bool commit(std::size_t size);

 private:
  bool reserve_on_disk(std::size_t capacity);
  void discard();

  std::string final_;
  std::string temporary_;
  int fd_ = -1;
  char* data_ = nullptr;
  std::size_t capacity_ = 0;
};

}  // namespace platform
