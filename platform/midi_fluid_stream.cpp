#include "platform/midi_fluid_stream.h"

#include <pthread.h>
#include <sched.h>

#include <chrono>
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

using SteadyClock = std::chrono::steady_clock;

// A note is heard only once this thread hands it to the synthesizer, and the
// sound reaches a sound server only through the threads that the audio
// output starts, which take this thread's priority: the output is opened
// from here. Where the system allows it, that is a real-time priority below
// the synthesizer's own audio thread (60); elsewhere it stays as it is.
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
    if (!prepared_.count(&chunk) || holds(&chunk) || chunk.bytes_recorded > MidiChunk::kCapacity) {
      return false;
    }
    queue_.push_back(&chunk);
    cv_.notify_all();
    return true;
  }

  bool restart() override {
    std::lock_guard lock(m_);
    if (!playing_) {
      origin_ = SteadyClock::now() - std::chrono::microseconds(clock_.now_us());
      playing_ = true;
      cv_.notify_all();
    }
    return true;
  }

  bool stop() override {
    std::lock_guard lock(m_);
    playing_ = false;
    clock_.rewind();
    give_back_queue();
    synth_->silence();
    return true;
  }

  bool reset() override {
    std::lock_guard lock(m_);
    playing_ = false;
    give_back_queue();
    synth_->silence();
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
  bool holds(MidiChunk* chunk) const {
    for (MidiChunk* c : queue_) if (c == chunk) return true;
    for (auto& [notice, c] : notices_) if (c == chunk) return true;
    return false;
  }

  void give_back_queue() {
    for (MidiChunk* c : queue_) notices_.emplace_back(Notice::chunk_done, c);
    queue_.clear();
    offset_ = 0;
    cv_.notify_all();
  }

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

  // Plays the head chunk's events at their times; a chunk whose events are
  // all played goes back to the owner. Callbacks run without the lock so the
  // owner may queue from inside them.
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
      MidiChunk* chunk = queue_.front();
      if (offset_ + kStreamEventBytes > chunk->bytes_recorded) {
        queue_.pop_front();
        offset_ = 0;
        notices_.emplace_back(Notice::chunk_done, chunk);
        continue;
      }
      const StreamEvent ev = read_stream_event(*chunk, offset_);
      const auto due = origin_ + std::chrono::microseconds(clock_.time_after(ev.delta));
      if (SteadyClock::now() < due) {
        cv_.wait_until(lock, due);
        continue;  // whatever woke us, look again
      }
      clock_.advance(ev.delta);
      offset_ += kStreamEventBytes;
      const std::uint32_t type = stream_event_type(ev.event);
      if (type == kEventShortMessage) synth_->send_short_message(stream_event_value(ev.event));
      else if (type == kEventTempo) clock_.set_tempo(stream_event_value(ev.event));
      if (ev.event & kEventCallbackFlag) notices_.emplace_back(Notice::position_reached, chunk);
    }
  }

  std::unique_ptr<FluidSynth> synth_;
  Callback callback_;
  std::mutex m_;
  std::condition_variable cv_;
  std::set<MidiChunk*> prepared_;
  std::deque<MidiChunk*> queue_;
  std::vector<std::pair<Notice, MidiChunk*>> notices_;
  std::size_t offset_ = 0;
  MidiStreamClock clock_;
  SteadyClock::time_point origin_{};
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
