#include "convert/look_ahead.h"

#include <algorithm>
#include <chrono>
#include <system_error>

#include "platform/cores.h"
#include "platform/file_handles.h"
#include "platform/thread_priority.h"

namespace {
constexpr std::size_t kHandlesKept = 16;
constexpr std::size_t kHandlesConverting = 5;
constexpr std::size_t kHandlesHeld = 2;
constexpr unsigned kTriesWithoutHandles = 50;
constexpr auto kWaitForHandles = std::chrono::milliseconds(20);

bool out_of_handles(const 预备转换& p) {
  return !p.converted() && p.result.file_error == platform::FileError::too_many_open;
}
}  // namespace

LookAhead::LookAhead(std::vector<text::Text> paths, text::Text 原编码, text::Text 现编码, Limits limits,
                     std::function<void()> on_ready)
    : paths_(std::move(paths)),
      limits_(limits),
      on_ready_(std::move(on_ready)),
      原编码_(std::move(原编码)),
      现编码_(std::move(现编码)),
      cores_(platform::usable_cores()) {
  // An entry is made when its file is started and freed when it is taken:
  // a run of many thousands of files holds a few dozen at a time.
  entries_.resize(paths_.size());
  unsigned workers = limits_.workers != 0 ? limits_.workers : cores_;
  // Under a low limit on open files (ulimit -n), no further ahead than the
  // handles allow: a file converted ahead holds two (its folder, its unnamed
  // output), one being converted up to five, and the window needs its own.
  const std::size_t spare = platform::spare_file_handles();
  const std::size_t budget = spare > kHandlesKept ? spare - kHandlesKept : 0;
  workers = static_cast<unsigned>(std::clamp<std::size_t>(budget / kHandlesConverting, 1, workers));
  limits_.files = std::min(limits_.files, (budget - std::min(budget, workers * kHandlesConverting)) / kHandlesHeld);
  workers = static_cast<unsigned>(std::min<std::size_t>(workers, paths_.size()));
  for (unsigned i = 0; i < workers; ++i) {
    ++threads_left_;
    try {
      threads_.emplace_back([this] {
        // The window's thread must win the processors whenever it wakes;
        // a large file's part threads started here inherit this.
        platform::lower_this_thread_priority();
        work();
        {
          std::lock_guard lock(mutex_);
          --threads_left_;
        }
        on_ready_();
      });
    } catch (const std::system_error&) {
      --threads_left_;
      break;  // fewer threads, or none: see working()
    }
  }
}

LookAhead::~LookAhead() {
  stop();
  for (std::thread& t : threads_) t.join();
}

void LookAhead::stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    for (const auto& e : entries_) {
      if (e) e->stop.store(true, std::memory_order_relaxed);
    }
  }
  work_changed_.notify_all();
}

bool LookAhead::stopped() const {
  std::lock_guard lock(mutex_);
  return threads_left_ == 0;
}

std::size_t LookAhead::next_to_start() const {
  const std::size_t end = std::min(entries_.size(), taken_ + 1 + limits_.files);
  for (std::size_t i = taken_; i < end; ++i) {
    if (entries_[i] && entries_[i]->state != State::waiting) continue;
    // The file the run waits for always starts; later ones only while the
    // converted bytes held back stay within bounds.
    if (i == taken_ || held_bytes_ < limits_.bytes) return i;
    break;
  }
  return entries_.size();
}

void LookAhead::restart(Entry& e) {
  if (e.state == State::done) {
    held_bytes_ -= e.prepared.result.bytes_out;
    e.prepared = 预备转换{};  // its output never had a name: dropping it removes it
    e.state = State::waiting;
  } else if (e.state == State::running) {
    e.again = true;
    e.stop.store(true, std::memory_order_relaxed);
  }
}

void LookAhead::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    std::size_t index = entries_.size();
    work_changed_.wait(lock, [&] { return stopping_ || (index = next_to_start()) < entries_.size(); });
    if (stopping_) return;
    if (!entries_[index]) entries_[index] = std::make_unique<Entry>();
    Entry& e = *entries_[index];
    e.state = State::running;
    e.again = false;
    e.stop.store(false, std::memory_order_relaxed);
    e.原编码 = 原编码_;
    e.现编码 = 现编码_;
    // A large file shares the cores with the files the other threads have
    // in hand: as many threads in all as cores, so that memory stays bounded.
    ++running_;
    const unsigned threads = std::max(1u, cores_ / running_);
    预备转换 prepared;
    for (;;) {
      lock.unlock();
      prepared = 准备转换(paths_[index], e.原编码, e.现编码, threads, &e.stop);
      lock.lock();
      // Out of file handles: tried again when the run takes a file or after
      // a moment, for a while; only if that never helps is it the reason.
      if (!out_of_handles(prepared) || e.again || stopping_ || ++e.tries >= kTriesWithoutHandles) break;
      work_changed_.wait_for(lock, kWaitForHandles);
    }
    --running_;
    if (e.again || stopping_) {
      e.state = State::waiting;
      lock.unlock();
      prepared = 预备转换{};
      work_changed_.notify_all();
      lock.lock();
      continue;
    }
    held_bytes_ += prepared.result.bytes_out;
    e.prepared = std::move(prepared);
    e.state = State::done;
    // Only the file the run waits for is worth waking the window's thread:
    // the others are found ready when the run reaches them.
    if (index == taken_) {
      lock.unlock();
      on_ready_();
      lock.lock();
    }
  }
}

void LookAhead::set_encodings(std::size_t next, const text::Text& 原编码, const text::Text& 现编码) {
  {
    std::lock_guard lock(mutex_);
    if (原编码 == 原编码_ && 现编码 == 现编码_) return;
    原编码_ = 原编码;
    现编码_ = 现编码;
    for (std::size_t i = next; i < entries_.size(); ++i) {
      if (!entries_[i]) continue;
      Entry& e = *entries_[i];
      if (e.state == State::waiting) continue;
      if (e.原编码 != 原编码 || e.现编码 != 现编码) restart(e);
    }
  }
  work_changed_.notify_all();
}

bool LookAhead::ready(std::size_t index) const {
  std::lock_guard lock(mutex_);
  return index < entries_.size() && entries_[index] && entries_[index]->state == State::done;
}

std::optional<预备转换> LookAhead::take(std::size_t index) {
  std::optional<预备转换> taken;
  {
    std::lock_guard lock(mutex_);
    if (!entries_.at(index)) return std::nullopt;
    Entry& e = *entries_[index];
    if (e.state != State::done) return std::nullopt;
    if (e.prepared.converted() && !e.prepared.source_unchanged()) {
      // Changed after it was converted: the run converts it as it is now.
      restart(e);
    } else {
      held_bytes_ -= e.prepared.result.bytes_out;
      taken.emplace(std::move(e.prepared));
      entries_[index].reset();  // no thread holds it once it is done
      taken_ = std::max(taken_, index + 1);
    }
  }
  work_changed_.notify_all();
  return taken;
}
