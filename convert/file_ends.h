#pragma once
// The two ends of a file's conversion: the source file it reads and the new
// file it writes.
#include "convert/stream.h"
#include "platform/new_file.h"
#include "platform/source_file.h"

class SourceFileReader final : public ByteSource {
 public:
  explicit SourceFileReader(platform::SourceFile& file) : file_(file) {}
  std::ptrdiff_t read(char* into, std::size_t room) override { return file_.read(into, room); }
  bool intact() const override { return file_.intact(); }

 private:
  platform::SourceFile& file_;
};

class NewFileWriter final : public ByteSink {
 public:
  explicit NewFileWriter(platform::NewFile& file) : file_(file) {}
  bool write(std::string_view bytes) override { return file_.write(bytes); }

 private:
  platform::NewFile& file_;
};
