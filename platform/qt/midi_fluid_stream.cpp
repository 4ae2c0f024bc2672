#include "platform/qt/midi_fluid_stream.h"

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include "platform/midi_fluid_synth.h"
#include "platform/midi_stream_clock.h"

namespace platform {

namespace {

// The synthesizer's own thread makes the sound; this one hands it each
// message ahead of its time, stamped with the synthesizer's clock, so that
// the message lands at its place in the sound even when this thread wakes
// late. Ahead by up to this much, or as far as the queued chunks go.
constexpr std::uint64_t kAheadUs = 250000;
// The clock moves in steps of what the audio output takes at once (12 ms
// here): looking again sooner than this would only find it where it was.
constexpr std::uint64_t kLookAgainUs = 4000;

// The audio output is opened from here, so that the threads it starts (the
// sound server's client) take this thread's priority. Where the system
// allows it, that is a real-time priority below the synthesizer's own audio
// thread (60); elsewhere it stays as it is.
constexpr int kRealtimePriority = 40;

void ask_for_realtime_priority() {
  sched_param param{};
  param.sched_priority = kRealtimePriority;
  pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
}

class FluidMidiStream final : public MidiStream {
 public:
  FluidMidiStream(std::unique_ptr<FluidSynth> synth, Callback callback)
      : synth_(std::move(synth)), callback_(std::move(callback)) {
    thread_ = std::thread([this] { run(); });
  }

  // Whether the audio output opened (on the stream's thread).
  bool audio_started() {
    std::unique_lock lock(m_);
    cv_.wait(lock, [this] { return audio_ != Audio::opening; });
    return audio_ == Audio::open;
  }

  ~FluidMidiStream() override { shut_down(); }

  bool set_time_division(int ticks_per_quarter) override {
    if (ticks_per_quarter <= 0 || ticks_per_quarter > 0x7FFF) return false;
    std::lock_guard lock(m_);
    clock_.set_division(ticks_per_quarter);
    return true;
  }

  bool prepare(MidiChunk& chunk) override {
    std::lock_guard lock(m_);
    prepared_.insert(&chunk);
    return true;
  }

  bool unprepare(MidiChunk& chunk) override {
    std::lock_guard lock(m_);
    if (holds(&chunk)) return false;
    prepared_.erase(&chunk);
    return true;
  }

  bool queue(MidiChunk& chunk) override {
    std::lock_guard lock(m_);
    if (quit_ || !prepared_.count(&chunk) || holds(&chunk) || chunk.bytes_recorded > MidiChunk::kCapacity) {
      return false;
    }
    queue_.push_back({&chunk, 0});
    cv_.notify_all();
    return true;
  }

  bool restart() override {
    std::lock_guard lock(m_);
    if (quit_) return false;
    if (!playing_) {
      origin_us_ = synth_->clock_us() - clock_.now_us();
      playing_ = true;
      cv_.notify_all();
    }
    return true;
  }

  bool stop() override {
    std::lock_guard lock(m_);
    if (quit_) return false;
    playing_ = false;
    clock_.rewind();
    give_back_queue();
    return true;
  }

  bool reset() override {
    std::lock_guard lock(m_);
    if (quit_) return false;
    playing_ = false;
    give_back_queue();
    return true;
  }

  bool close() override {
    if (std::this_thread::get_id() == thread_.get_id()) return false;
    {
      std::lock_guard lock(m_);
      if (!queue_.empty()) return false;
    }
    shut_down();
    return true;
  }

 private:
  struct Queued {
    MidiChunk* chunk;
    std::uint64_t played_at;  // synthesizer time of its last event handed over
  };

  bool holds(MidiChunk* chunk) const {
    for (const Queued& q : queue_) if (q.chunk == chunk) return true;
    for (auto& [notice, c] : notices_) if (c == chunk) return true;
    return false;
  }

  // Everything handed ahead is dropped and every note ends at once.
  void give_back_queue() {
    synth_->drop_scheduled();
    synth_->silence();
    for (const Queued& q : queue_) notices_.emplace_back(Notice::chunk_done, q.chunk);
    queue_.clear();
    handing_ = 0;
    offset_ = 0;
    marks_.clear();
    cv_.notify_all();
  }

  // Once closed, the stream has no synthesizer: every call that would reach
  // it fails, as a call on a closed handle does.
  void shut_down() {
    {
      std::lock_guard lock(m_);
      if (quit_) return;
      quit_ = true;
      cv_.notify_all();
    }
    if (thread_.joinable()) thread_.join();
    synth_.reset();
  }

  // Hands the queued chunks' events to the synthesizer up to kAheadUs ahead
  // of its clock; a chunk goes back to the owner once the synthesizer has
  // played its last event, a flagged event is reported once played.
  // Callbacks run without the lock so the owner may queue from inside them.
  void run() {
    ask_for_realtime_priority();
    const bool audio = synth_->start_audio();
    std::unique_lock lock(m_);
    audio_ = audio ? Audio::open : Audio::missing;
    cv_.notify_all();
    if (!audio) return;
    for (;;) {
      if (!notices_.empty()) {
        auto notices = std::move(notices_);
        notices_.clear();
        lock.unlock();
        for (auto& [notice, chunk] : notices) callback_(notice, *chunk);
        lock.lock();
        continue;
      }
      if (quit_) return;
      if (!playing_ || queue_.empty()) {
        cv_.wait(lock);
        continue;
      }
      const std::uint64_t now = synth_->clock_us();
      while (!marks_.empty() && marks_.front().first <= now) {
        notices_.emplace_back(Notice::position_reached, marks_.front().second);
        marks_.pop_front();
      }
      if (handing_ > 0 && queue_.front().played_at <= now && notices_.empty()) {
        notices_.emplace_back(Notice::chunk_done, queue_.front().chunk);
        queue_.pop_front();
        --handing_;
      }
      if (!notices_.empty()) continue;
      std::uint64_t wake = UINT64_MAX;
      if (handing_ < queue_.size()) {
        Queued& q = queue_[handing_];
        if (offset_ + kStreamEventBytes > q.chunk->bytes_recorded) {
          ++handing_;
          offset_ = 0;
          continue;
        }
        const StreamEvent ev = read_stream_event(*q.chunk, offset_);
        const std::uint64_t at = origin_us_ + clock_.time_after(ev.delta);
        if (at <= now + kAheadUs) {
          clock_.advance(ev.delta);
          offset_ += kStreamEventBytes;
          q.played_at = at;
          const std::uint32_t type = stream_event_type(ev.event);
          if (type == kEventShortMessage) synth_->schedule(at, stream_event_value(ev.event));
          else if (type == kEventTempo) clock_.set_tempo(stream_event_value(ev.event));
          if (ev.event & kEventCallbackFlag) marks_.emplace_back(at, q.chunk);
          continue;
        }
        wake = at - kAheadUs;
      }
      if (handing_ > 0) wake = std::min(wake, queue_.front().played_at);
      if (!marks_.empty()) wake = std::min(wake, marks_.front().first);
      // The synthesizer's clock keeps pace with the system's while sound
      // flows; whatever wakes us, look again.
      if (wake == UINT64_MAX) cv_.wait(lock);
      else cv_.wait_for(lock, std::chrono::microseconds(std::max(wake - now, kLookAgainUs)));
    }
  }

  std::unique_ptr<FluidSynth> synth_;
  Callback callback_;
  std::mutex m_;
  std::condition_variable cv_;
  std::set<MidiChunk*> prepared_;
  std::deque<Queued> queue_;
  std::size_t handing_ = 0;  // the queued chunk whose events are being handed over
  std::size_t offset_ = 0;   // in that chunk
  std::deque<std::pair<std::uint64_t, MidiChunk*>> marks_;  // flagged events not yet played
  std::vector<std::pair<Notice, MidiChunk*>> notices_;
  MidiStreamClock clock_;  // where the handing over is
  std::uint64_t origin_us_ = 0;  // synthesizer time of the stream's time 0
  enum class Audio { opening, open, missing } audio_ = Audio::opening;
  bool playing_ = false;
  bool quit_ = false;
  std::thread thread_;
};

}  // namespace

std::unique_ptr<MidiStream> open_fluid_midi_stream(MidiStream::Callback callback) {
  auto synth = FluidSynth::create();
  if (!synth) return nullptr;
  auto stream = std::make_unique<FluidMidiStream>(std::move(synth), std::move(callback));
  if (!stream->audio_started()) return nullptr;
  return stream;
}

}  // namespace platform
