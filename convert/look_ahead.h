#pragma once
// The files of a run converted ahead of it on worker threads. Each output
// stays unnamed until the run takes it, in list order, so a run that stops
// never leaves an output it did not list; dropping the rest removes them.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "convert/single_file.h"
#include "text/text.h"

class LookAhead {
 public:
  struct Limits {
    unsigned workers = 0;              // threads; 0: one per core
    std::size_t files = 32;            // at most this many files past the one the run waits for
    std::uint64_t bytes = 64u << 20;   // and converted bytes held unnamed, beyond one file per thread
  };

  // Converts `paths` (the run's files, in order) from 原编码 to 现编码.
  // `on_ready` is called, on a worker thread, whenever the file the run
  // waits for (the first not taken) is done.
  LookAhead(std::vector<text::Text> paths, text::Text 原编码, text::Text 现编码, Limits limits,
            std::function<void()> on_ready);
  // Stops the files in flight, removes every output not taken, and ends the
  // threads before returning.
  ~LookAhead();
  // Asks the threads to stop, without waiting: a file in flight ends at its
  // next piece. `on_ready` is called as each thread ends.
  void stop();
  // Whether every thread has ended.
  bool stopped() const;
  LookAhead(const LookAhead&) = delete;
  LookAhead& operator=(const LookAhead&) = delete;

  // The encodings of the files from `next` on: a file prepared, or being
  // prepared, with others is done again.
  void set_encodings(std::size_t next, const text::Text& 原编码, const text::Text& 现编码);

  // Whether any worker thread could be started; without one nothing is
  // ever ready and the run converts its files itself.
  bool working() const { return !threads_.empty(); }

  // Whether file `index` (from 0) is done.
  bool ready(std::size_t index) const;

  // Takes file `index`, which must be ready. Nothing when it has to be done
  // again because its source changed after it was converted; it is then
  // ready again later.
  std::optional<预备转换> take(std::size_t index);

 private:
  enum class State { waiting, running, done };
  struct Entry {
    State state = State::waiting;
    bool again = false;  // its encodings changed while it ran
    unsigned tries = 0;  // how often it found no file handle to spare
    std::atomic<bool> stop{false};
    text::Text 原编码, 现编码;
    预备转换 prepared;
  };

  void work();
  // The next file a worker may start; entries_.size() if none. Under mutex_.
  std::size_t next_to_start() const;
  void restart(Entry& e);  // under mutex_

  std::vector<text::Text> paths_;
  std::vector<std::unique_ptr<Entry>> entries_;  // none: waiting, or taken (before taken_)
  Limits limits_;
  std::function<void()> on_ready_;
  text::Text 原编码_, 现编码_;
  unsigned cores_;                 // the processors this process may use
  std::size_t taken_ = 0;          // files taken so far: the run waits for this one
  std::uint64_t held_bytes_ = 0;   // converted and not yet taken
  unsigned running_ = 0;           // files being converted
  bool stopping_ = false;
  unsigned threads_left_ = 0;
  mutable std::mutex mutex_;
  std::condition_variable work_changed_;
  std::vector<std::thread> threads_;
};
