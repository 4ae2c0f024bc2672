#include "convert/parallel_conversion.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "convert/encoding_catalogue.h"
#include "convert/file_ends.h"
#include "convert/utf8_watch.h"
#include "platform/cores.h"

namespace {

constexpr std::uint64_t kToTheEnd = std::numeric_limits<std::uint64_t>::max();
// Each part gets at least this much, so that a thread is worth starting.
constexpr std::uint64_t kSmallestPart = std::uint64_t{4} << 20;
constexpr unsigned kMostParts = 16;

// One part of the source: [begin, end), the last one to wherever the file ends.
class PartReader final : public ByteSource {
 public:
  PartReader(const platform::SourceFile& file, std::uint64_t begin, std::uint64_t end,
             const std::atomic<unsigned>& first_failed, unsigned index, const std::atomic<bool>* stop)
      : file_(file), position_(begin), end_(end), first_failed_(first_failed), index_(index), stop_(stop) {}
  std::ptrdiff_t read(char* into, std::size_t room) override {
    // A part after one that failed is abandoned: its result is never used.
    if (first_failed_.load(std::memory_order_relaxed) < index_) return -1;
    if (stop_ != nullptr && stop_->load(std::memory_order_relaxed)) return -1;
    const std::uint64_t n = std::min<std::uint64_t>(room, end_ - position_);
    if (n == 0) return 0;
    const std::ptrdiff_t got = file_.read_at(position_, into, static_cast<std::size_t>(n));
    if (got > 0) position_ += static_cast<std::uint64_t>(got);
    return got;
  }
  // A part that ends before its end was cut short by another program.
  bool intact() const override { return end_ == kToTheEnd || position_ == end_; }

 private:
  const platform::SourceFile& file_;
  std::uint64_t position_;
  std::uint64_t end_;
  const std::atomic<unsigned>& first_failed_;
  unsigned index_;
  const std::atomic<bool>* stop_;
};

// The first byte after the first newline at or after `from` and before
// `limit`; nothing when there is none.
std::optional<std::uint64_t> after_newline(const platform::SourceFile& file, std::uint64_t from,
                                           std::uint64_t limit) {
  char block[1 << 16];
  while (from < limit) {
    const std::ptrdiff_t n =
        file.read_at(from, block, static_cast<std::size_t>(std::min<std::uint64_t>(sizeof block, limit - from)));
    if (n <= 0) return std::nullopt;
    const char* newline = static_cast<const char*>(std::memchr(block, '\n', static_cast<std::size_t>(n)));
    if (newline) return from + static_cast<std::uint64_t>(newline - block) + 1;
    from += static_cast<std::uint64_t>(n);
  }
  return std::nullopt;
}

// Where the parts begin: the first at 0, each other one just after a line
// end near its share of the file. A stretch without line ends makes its part
// longer and leaves out the cut it would have needed.
std::vector<std::uint64_t> part_starts(const platform::SourceFile& file, unsigned parts) {
  const std::uint64_t size = file.size();
  std::vector<std::uint64_t> starts{0};
  for (unsigned i = 1; i < parts; ++i) {
    const std::uint64_t target = std::max(size / parts * i, starts.back());
    const std::optional<std::uint64_t> cut = after_newline(file, target, size / parts * (i + 1));
    if (cut && *cut > starts.back() && *cut < size) starts.push_back(*cut);
  }
  return starts;
}

struct Part {
  platform::NewFile file;  // unused for the first part, which writes the output itself
  StreamResult result;
  std::unique_ptr<Utf8Watch> watch;
  std::unique_ptr<PartReader> reader;
  bool opened = true;
};

}  // namespace

unsigned parts_for(std::uint64_t size, std::string_view 原编码, std::string_view 现编码, unsigned workers) {
  const auto catalogued = [](std::string_view name) {
    for (int position = 0; const std::optional<text::Text> known = 编码名称(position); ++position) {
      if (*known == name) return true;
    }
    return false;
  };
  if (size < kPartsFrom || !catalogued(原编码) || !catalogued(现编码)) return 1;
  if (workers == 0) workers = platform::usable_cores();
  return static_cast<unsigned>(std::min<std::uint64_t>({workers, kMostParts, size / kSmallestPart}));
}

PartsResult 分段转码(const platform::SourceFile& source, std::string_view output_path,
                     std::string_view 原编码, std::string_view 现编码, platform::NewFile& output,
                     unsigned parts, bool watch_utf8, const std::atomic<bool>* stop) {
  const std::vector<std::uint64_t> starts = part_starts(source, std::max(parts, 1u));
  const unsigned count = static_cast<unsigned>(starts.size());
  std::atomic<unsigned> first_failed{count};
  std::vector<Part> all(count);
  for (unsigned i = 0; i < count; ++i) {
    const std::uint64_t end = i + 1 < count ? starts[i + 1] : kToTheEnd;
    all[i].reader = std::make_unique<PartReader>(source, starts[i], end, first_failed, i, stop);
    if (watch_utf8) all[i].watch = std::make_unique<Utf8Watch>(*all[i].reader);
    if (i > 0) all[i].opened = all[i].file.create_part(output_path);
  }
  const auto run = [&](unsigned i) {
    Part& part = all[i];
    if (!part.opened) {
      part.result.end = StreamEnd::write_failed;
    } else {
      NewFileWriter writer(i == 0 ? output : part.file);
      ByteSource& in = part.watch ? static_cast<ByteSource&>(*part.watch) : *part.reader;
      part.result = 流式转码(in, 原编码, 现编码, writer);
    }
    if (part.result.end != StreamEnd::converted) {
      unsigned seen = first_failed.load();
      while (i < seen && !first_failed.compare_exchange_weak(seen, i)) {
      }
    }
  };
  std::vector<std::thread> threads;
  for (unsigned i = 1; i < count; ++i) {
    try {
      threads.emplace_back(run, i);
    } catch (const std::system_error&) {
      run(i);  // no thread to be had: this one does it
    }
  }
  run(0);
  for (std::thread& t : threads) t.join();

  PartsResult r;
  bool valid_utf8 = watch_utf8;
  bool wide_characters = false;
  for (unsigned i = 0; i < count; ++i) {
    const StreamResult& p = all[i].result;
    if (p.end != StreamEnd::converted) {
      // The first failure in the file's order; the parts before it converted.
      // A file changed meanwhile says so rather than what its change did.
      r.stream.end = source.intact_after(source.size()) ? p.end : StreamEnd::changed;
      r.stream.failed_at = starts[i] + p.failed_at;
      r.write_error = i == 0 ? output.error() : all[i].file.error();
      return r;
    }
    r.stream.read += p.read;
    r.stream.written += p.written;
    if (all[i].watch) {
      valid_utf8 = valid_utf8 && all[i].watch->valid_utf8();
      wide_characters = wide_characters || all[i].watch->wide_characters();
    }
  }
  r.also_valid_utf8 = valid_utf8 && wide_characters;
  if (!source.intact_after(r.stream.read)) {
    r.stream.end = StreamEnd::changed;
    return r;
  }
  for (unsigned i = 1; i < count; ++i) {
    if (!output.append(all[i].file)) {
      r.stream.end = StreamEnd::write_failed;
      r.write_error = output.error();
      return r;
    }
  }
  return r;
}
