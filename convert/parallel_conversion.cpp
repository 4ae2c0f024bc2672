#include "convert/parallel_conversion.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

#include "convert/encoding_catalogue.h"
#include "convert/file_ends.h"
#include "convert/utf8_watch.h"
#include "platform/cores.h"
#include "platform/thread_priority.h"

namespace {

constexpr std::uint64_t kToTheEnd = std::numeric_limits<std::uint64_t>::max();
// Small enough that threads finish close together and each holds little
// memory, large enough that taking a piece costs next to nothing.
constexpr std::uint64_t kPiece = std::uint64_t{2} << 20;
constexpr unsigned kMostThreads = 16;
// The steps of the piece size that a file of `size` bytes spans.
constexpr std::uint64_t steps_in(std::uint64_t size) { return (size + kPiece - 1) / kPiece; }
// What a piece's thread reads and converts at a time: its converted bytes
// are copied once more, into the piece's held memory, best from the cache.
constexpr std::size_t kPieceBuffers = std::size_t{256} << 10;

// One piece of the source: [begin, end), the last one to wherever the file ends.
class PieceReader final : public ByteSource {
 public:
  PieceReader(const platform::SourceFile& file, std::uint64_t begin, std::uint64_t end,
              const std::atomic<std::uint64_t>& first_failed, std::uint64_t index)
      : file_(file), position_(begin), end_(end), first_failed_(first_failed), index_(index) {}
  std::ptrdiff_t read(char* into, std::size_t room) override {
    // A piece after one that failed is abandoned: its result is never used.
    if (first_failed_.load(std::memory_order_relaxed) < index_) return -1;
    const std::uint64_t n = std::min<std::uint64_t>(room, end_ - position_);
    if (n == 0) return 0;
    const std::ptrdiff_t got = file_.read_at(position_, into, static_cast<std::size_t>(n));
    if (got > 0) position_ += static_cast<std::uint64_t>(got);
    return got;
  }
  // A piece that ends before its end was cut short by another program.
  bool intact() const override { return end_ == kToTheEnd || position_ == end_; }

 private:
  const platform::SourceFile& file_;
  std::uint64_t position_;
  std::uint64_t end_;
  const std::atomic<std::uint64_t>& first_failed_;
  std::uint64_t index_;
};

// The first byte after the first newline at or after `from` and before
// `limit`; nothing when there is none. Read in small blocks: every cut is
// looked for twice (as one piece's start and the piece before's end), and a
// line end is rarely far.
std::optional<std::uint64_t> after_newline(const platform::SourceFile& file, std::uint64_t from,
                                           std::uint64_t limit) {
  char block[1 << 12];
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

struct PieceResult {
  std::uint64_t start = 0;
  StreamResult stream;
  bool valid_utf8 = true;
  bool wide_characters = false;
};

// A thread's memory for a piece's converted bytes: room for a whole piece
// of the usual size, so that it waits for its turn only once converted.
// None at all when the memory cannot be had: the piece then waits for its
// turn before its first byte.
struct HeldBytes {
  HeldBytes() : room(2 * kPiece + 64), bytes(new (std::nothrow) char[room]) {
    if (!bytes) room = 0;
  }
  std::size_t room;
  std::unique_ptr<char[]> bytes;
  std::size_t size = 0;
};

// The pieces of one file, the threads that take them, and the order in
// which their bytes reach the output: one piece at a time has the turn to
// write, from the first to the last.
class PieceRun {
 public:
  PieceRun(const platform::SourceFile& source, std::string_view 原编码, std::string_view 现编码,
           platform::NewFile& output, bool watch_utf8, const std::atomic<bool>* stop)
      : source_(source), from_(原编码), to_(现编码), output_(output), watch_utf8_(watch_utf8), stop_(stop),
        count_(steps_in(source.size())), first_failed_(count_) {}

  // Pieces are counted in steps of the piece size; a step without a line
  // end belongs to the piece before it and converts nothing of its own.
  std::uint64_t count() const { return count_; }

  // One thread's share: pieces, taken in order as this thread is free.
  void take_pieces() {
    const StreamBuffers buffers(kPieceBuffers);
    HeldBytes held;
    for (;;) {
      const std::uint64_t i = next_.fetch_add(1);
      if (i >= count() || first_failed_.load() < i) return;
      PieceResult piece;
      InTurn writer(*this, i, held, piece);
      if (!convert(i, buffers, writer, piece) || !writer.finish()) {
        fail(i, piece);
        return;
      }
    }
  }

  // After every thread has ended.
  PartsResult result() const {
    PartsResult r;
    if (first_failed_.load() < count()) {
      // The first failure in the file's order; the pieces before it converted.
      // A file changed meanwhile says so rather than what its change did.
      r.stream.end = source_.intact_after(source_.size()) ? failure_.stream.end : StreamEnd::changed;
      r.stream.failed_at = failure_.start + failure_.stream.failed_at;
      r.write_error = output_.error();
      return r;
    }
    r.stream = written_.stream;
    r.also_valid_utf8 = watch_utf8_ && written_.valid_utf8 && written_.wide_characters;
    if (!source_.intact_after(r.stream.read)) r.stream.end = StreamEnd::changed;
    return r;
  }

 private:
  // Piece `index`'s bytes: held until its turn, or until they fill the
  // memory held for them, and from then on written straight to the output.
  class InTurn final : public ByteSink {
   public:
    InTurn(PieceRun& run, std::uint64_t index, HeldBytes& held, PieceResult& piece)
        : run_(run), index_(index), held_(held), piece_(piece) {
      held_.size = 0;
    }
    bool write(std::string_view bytes) override {
      if (!in_turn_) {
        if (bytes.size() <= held_.room - held_.size) {
          std::memcpy(held_.bytes.get() + held_.size, bytes.data(), bytes.size());
          held_.size += bytes.size();
          return true;
        }
        if (!take_turn()) return false;
      }
      return write_out(bytes);
    }
    // After the piece converted: its bytes written and the turn passed on.
    bool finish() {
      if (!in_turn_ && !take_turn()) return false;
      run_.pass_turn(piece_);
      return true;
    }

   private:
    bool take_turn() {
      if (!run_.wait_for_turn(index_)) return false;
      in_turn_ = true;
      return write_out({held_.bytes.get(), held_.size});
    }

    // Only the piece whose turn it is writes.
    bool write_out(std::string_view bytes) {
      if (bytes.empty() || run_.output_.write(bytes)) return true;
      piece_.stream.end = StreamEnd::write_failed;
      return false;
    }

    PieceRun& run_;
    std::uint64_t index_;
    HeldBytes& held_;
    PieceResult& piece_;
    bool in_turn_ = false;
  };

  // Where step `i`'s piece begins: just after the first line end in the
  // step (the first at 0); nothing when the step has none. Each thread finds
  // the cuts of its own pieces, as it comes to them, so that the file is
  // read in order once.
  std::optional<std::uint64_t> cut(std::uint64_t i) const {
    if (i == 0) return 0;
    const std::uint64_t size = source_.size();
    const std::uint64_t from = i * kPiece;
    const std::optional<std::uint64_t> at = after_newline(source_, from, std::min(size, from + kPiece));
    if (at && *at < size) return at;
    return std::nullopt;
  }

  bool convert(std::uint64_t i, const StreamBuffers& buffers, ByteSink& into, PieceResult& p) {
    const std::optional<std::uint64_t> start = cut(i);
    if (!start) return true;  // nothing of its own
    std::uint64_t end = kToTheEnd;
    for (std::uint64_t next = i + 1; next < count(); ++next) {
      if (const std::optional<std::uint64_t> c = cut(next)) {
        end = *c;
        break;
      }
    }
    p.start = *start;
    PieceReader piece(source_, p.start, end, first_failed_, i);
    StoppableSource reader(piece, stop_);
    if (watch_utf8_) {
      Utf8Watch watch(reader);
      p.stream = 流式转码(watch, from_, to_, into, buffers);
      p.valid_utf8 = watch.valid_utf8();
      p.wide_characters = watch.wide_characters();
    } else {
      p.stream = 流式转码(reader, from_, to_, into, buffers);
    }
    return p.stream.end == StreamEnd::converted;
  }

  // Waits until the pieces before `i` are written: false when one of them
  // failed, and this one is abandoned.
  bool wait_for_turn(std::uint64_t i) {
    std::unique_lock lock(m_);
    turn_changed_.wait(lock, [&] { return next_to_write_ == i || first_failed_.load() < i; });
    return first_failed_.load() >= i;
  }

  // Counted in the file's order, as each piece is written in full.
  void pass_turn(const PieceResult& piece) {
    std::lock_guard lock(m_);
    written_.stream.read += piece.stream.read;
    written_.stream.written += piece.stream.written;
    written_.valid_utf8 = written_.valid_utf8 && piece.valid_utf8;
    written_.wide_characters = written_.wide_characters || piece.wide_characters;
    ++next_to_write_;
    turn_changed_.notify_all();
  }

  // Only the first failure in the file's order is kept.
  void fail(std::uint64_t i, const PieceResult& piece) {
    std::lock_guard lock(m_);
    if (i < first_failed_.load()) {
      first_failed_.store(i);
      failure_ = piece;
    }
    turn_changed_.notify_all();
  }

  const platform::SourceFile& source_;
  std::string_view from_;
  std::string_view to_;
  platform::NewFile& output_;
  bool watch_utf8_;
  const std::atomic<bool>* stop_;
  std::uint64_t count_;
  std::atomic<std::uint64_t> next_{0};
  std::atomic<std::uint64_t> first_failed_;  // changed only under m_
  std::mutex m_;
  std::condition_variable turn_changed_;
  std::uint64_t next_to_write_ = 0;  // the piece whose turn it is
  PieceResult written_;              // the pieces written so far, together
  PieceResult failure_;              // the first piece that failed
};

}  // namespace

unsigned threads_for(std::uint64_t size, std::string_view 原编码, std::string_view 现编码, unsigned workers) {
  const auto catalogued = [](std::string_view name) {
    for (int position = 0; const std::optional<text::Text> known = 编码名称(position); ++position) {
      if (*known == name) return true;
    }
    return false;
  };
  if (size < kPartsFrom || !catalogued(原编码) || !catalogued(现编码)) return 1;
  if (workers == 0) workers = platform::usable_cores();
  return static_cast<unsigned>(std::min<std::uint64_t>({workers, kMostThreads, steps_in(size)}));
}

PartsResult 分段转码(const platform::SourceFile& source, std::string_view 原编码, std::string_view 现编码,
                     platform::NewFile& output, unsigned threads, bool watch_utf8,
                     const std::atomic<bool>* stop) {
  PieceRun run(source, 原编码, 现编码, output, watch_utf8, stop);
  std::vector<std::thread> helpers;
  const bool lowered = platform::this_thread_priority_lowered();
  for (unsigned i = 1; i < std::min<std::uint64_t>(threads, run.count()); ++i) {
    try {
      // As low as the thread that asks for them: on Windows a new thread
      // starts at normal priority whoever starts it.
      helpers.emplace_back([&run, lowered] {
        if (lowered) platform::lower_this_thread_priority();
        run.take_pieces();
      });
    } catch (const std::system_error&) {
      break;  // the threads there are take every piece
    }
  }
  run.take_pieces();
  for (std::thread& t : helpers) t.join();
  return run.result();
}
