#pragma once
// The two ends of a file's conversion: the source file it reads and the new
// file it writes, and a source that a stop asked for from another thread ends.
#include <atomic>

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

// Reads through to `in` until `stop` is set, then fails every read.
class StoppableSource final : public ByteSource {
 public:
  StoppableSource(ByteSource& in, const std::atomic<bool>* stop) : in_(in), stop_(stop) {}
  std::ptrdiff_t read(char* into, std::size_t room) override {
    if (stop_ != nullptr && stop_->load(std::memory_order_relaxed)) return -1;
    return in_.read(into, room);
  }
  bool intact() const override { return in_.intact(); }

 private:
  ByteSource& in_;
  const std::atomic<bool>* stop_;
};
