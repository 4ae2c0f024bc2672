#pragma once
// Converts a stream's tick position to microseconds under the tempo events
// met so far; shared by every stream so that they all keep the same time.
#include <cstdint>

namespace platform {

class MidiStreamClock {
 public:
  static constexpr std::uint32_t kDefaultTempo = 500000;  // µs per quarter note

  void set_division(int ticks_per_quarter) { division_ = ticks_per_quarter; }
  int division() const { return division_; }

  // Moves the position on by `delta` ticks and gives the new time in µs.
  std::uint64_t advance(std::uint32_t delta) {
    tick_ += delta;
    return now_us();
  }
  std::uint64_t time_after(std::uint32_t delta) const { return time_at(tick_ + delta); }
  std::uint64_t now_us() const { return time_at(tick_); }

  // A tempo event takes effect from the current tick on.
  void set_tempo(std::uint32_t us_per_quarter) {
    base_us_ = now_us();
    base_tick_ = tick_;
    tempo_ = us_per_quarter;
  }

  void rewind() { *this = MidiStreamClock{division_}; }

  MidiStreamClock() = default;
  explicit MidiStreamClock(int division) : division_(division) {}

 private:
  std::uint64_t time_at(std::uint64_t tick) const {
    return base_us_ + (tick - base_tick_) * tempo_ / static_cast<std::uint64_t>(division_);
  }

  int division_ = 480;
  std::uint32_t tempo_ = kDefaultTempo;
  std::uint64_t tick_ = 0;
  std::uint64_t base_tick_ = 0;
  std::uint64_t base_us_ = 0;
};

}  // namespace platform
