#include "platform/midi_virtual_stream.h"

#include <algorithm>
#include <deque>
#include <limits>
#include <set>
#include <utility>

#include "platform/midi_stream_clock.h"

namespace platform {

class VirtualMidiDevice::Stream final : public MidiStream {
 public:
  Stream(VirtualMidiDevice& device, Callback callback) : device_(device), callback_(std::move(callback)) {}

  ~Stream() override {
    detach();
    std::lock_guard lock(device_.m_);
    --device_.alive_;
    device_.cv_.notify_all();
  }

  bool set_time_division(int ticks_per_quarter) override {
    if (ticks_per_quarter <= 0 || ticks_per_quarter > 0x7FFF) return false;
    std::lock_guard lock(device_.m_);
    clock_.set_division(ticks_per_quarter);
    return true;
  }
  bool prepare(MidiChunk& chunk) override {
    std::lock_guard lock(device_.m_);
    prepared_.insert(&chunk);
    return true;
  }
  bool unprepare(MidiChunk& chunk) override {
    std::lock_guard lock(device_.m_);
    if (holds(&chunk)) return false;
    prepared_.erase(&chunk);
    return true;
  }
  bool queue(MidiChunk& chunk) override {
    std::lock_guard lock(device_.m_);
    if (!prepared_.count(&chunk) || holds(&chunk) || chunk.bytes_recorded > MidiChunk::kCapacity) {
      return false;
    }
    // A chunk queued late plays late: its events cannot sound before now.
    queue_.push_back({&chunk, device_.now_us_});
    return true;
  }
  bool restart() override {
    std::lock_guard lock(device_.m_);
    if (!playing_) {
      origin_us_ = device_.now_us_ - std::min(device_.now_us_, clock_.now_us());
      playing_ = true;
    }
    return true;
  }
  bool stop() override { return halt(true); }
  bool reset() override { return halt(false); }
  bool close() override {
    std::unique_lock lock(device_.m_);
    if (!queue_.empty() || holding_count() > 0) return false;
    lock.unlock();
    detach();
    return true;
  }

  // The next event due by `limit`, or none; called with the device locked.
  bool next_due(std::uint64_t limit, std::uint64_t& when) const {
    if (!playing_ || queue_.empty()) return false;
    const auto& [chunk, queued_at] = queue_.front();
    std::uint64_t t = queued_at;
    if (offset_ + kStreamEventBytes <= chunk->bytes_recorded) {
      const StreamEvent ev = read_stream_event(*chunk, offset_);
      t = std::max(origin_us_ + clock_.time_after(ev.delta), queued_at);
    }
    if (t > limit) return false;
    when = t;
    return true;
  }

  // Plays one event (or returns an emptied chunk); called with the device locked.
  void play_one(std::uint64_t when, std::vector<Pending>& pending) {
    auto [chunk, queued_at] = queue_.front();
    if (offset_ + kStreamEventBytes > chunk->bytes_recorded) {
      queue_.pop_front();
      offset_ = 0;
      pending.push_back({callback_, Notice::chunk_done, chunk, this});
      return;
    }
    const StreamEvent ev = read_stream_event(*chunk, offset_);
    offset_ += kStreamEventBytes;
    clock_.advance(ev.delta);
    const std::uint32_t type = stream_event_type(ev.event);
    if (type == kEventShortMessage) device_.messages_.push_back({when, stream_event_value(ev.event)});
    else if (type == kEventTempo) clock_.set_tempo(stream_event_value(ev.event));
    if (ev.event & kEventCallbackFlag) pending.push_back({callback_, Notice::position_reached, chunk, this});
  }

 private:
  bool holds(MidiChunk* chunk) const {
    for (auto& q : queue_) if (q.first == chunk) return true;
    for (auto& p : device_.held_) if (p.owner == this && p.chunk == chunk) return true;
    return false;
  }
  int holding_count() const {
    return static_cast<int>(std::count_if(device_.held_.begin(), device_.held_.end(),
                                          [&](const Pending& p) { return p.owner == this; }));
  }

  bool halt(bool rewind) {
    std::unique_lock lock(device_.m_);
    playing_ = false;
    if (rewind) clock_.rewind();
    // All notes off on every channel: the silence is recorded like any message.
    for (std::uint32_t ch = 0; ch < 16; ++ch) {
      device_.messages_.push_back({device_.now_us_, 0xB0 | ch | (123u << 8)});
    }
    std::vector<Pending> back;
    for (auto& q : queue_) back.push_back({callback_, Notice::chunk_done, q.first, this});
    queue_.clear();
    offset_ = 0;
    if (device_.hold_) {
      device_.held_.insert(device_.held_.end(), back.begin(), back.end());
      return true;
    }
    device_.run_callbacks(lock, std::move(back));
    return true;
  }

  void detach() {
    std::unique_lock lock(device_.m_);
    auto& s = device_.streams_;
    if (std::find(s.begin(), s.end(), this) == s.end()) return;
    // A callback in progress may still use the owner: wait for it to end.
    device_.cv_.wait(lock, [&] { return device_.callbacks_running_ == 0; });
    s.erase(std::find(s.begin(), s.end(), this));
    std::erase_if(device_.held_, [&](const Pending& p) { return p.owner == this; });
    device_.cv_.notify_all();
  }

  VirtualMidiDevice& device_;
  Callback callback_;
  std::set<MidiChunk*> prepared_;
  std::deque<std::pair<MidiChunk*, std::uint64_t>> queue_;
  std::size_t offset_ = 0;
  MidiStreamClock clock_;
  std::uint64_t origin_us_ = 0;
  bool playing_ = false;
};

VirtualMidiDevice::~VirtualMidiDevice() {
  // A stream may still be on its way out on another thread (a release
  // handed over by its owner): it needs the device until it is gone.
  std::unique_lock lock(m_);
  cv_.wait(lock, [&] { return alive_ == 0; });
}

MidiStreamFactory VirtualMidiDevice::factory() {
  return [this](MidiStream::Callback callback) -> std::unique_ptr<MidiStream> {
    std::lock_guard lock(m_);
    if (unavailable_) return nullptr;
    auto stream = std::make_unique<Stream>(*this, std::move(callback));
    streams_.push_back(stream.get());
    ++opened_;
    ++alive_;
    return stream;
  };
}

void VirtualMidiDevice::run_callbacks(std::unique_lock<std::mutex>& lock, std::vector<Pending> pending) {
  if (pending.empty()) return;
  ++callbacks_running_;
  lock.unlock();
  for (auto& p : pending) p.callback(p.notice, *p.chunk);
  lock.lock();
  --callbacks_running_;
  cv_.notify_all();
}

void VirtualMidiDevice::advance_to(std::uint64_t us) {
  std::unique_lock lock(m_);
  for (;;) {
    Stream* first = nullptr;
    std::uint64_t first_time = std::numeric_limits<std::uint64_t>::max();
    for (Stream* s : streams_) {
      std::uint64_t t;
      if (s->next_due(us, t) && t < first_time) {
        first = s;
        first_time = t;
      }
    }
    if (!first) break;
    now_us_ = std::max(now_us_, first_time);
    std::vector<Pending> pending;
    first->play_one(now_us_, pending);
    run_callbacks(lock, std::move(pending));
  }
  now_us_ = std::max(now_us_, us);
}

std::uint64_t VirtualMidiDevice::now() const {
  std::lock_guard lock(m_);
  return now_us_;
}

std::vector<RecordedMessage> VirtualMidiDevice::messages() const {
  std::lock_guard lock(m_);
  return messages_;
}

int VirtualMidiDevice::streams_opened() const {
  std::lock_guard lock(m_);
  return opened_;
}

int VirtualMidiDevice::streams_open() const {
  std::lock_guard lock(m_);
  return static_cast<int>(streams_.size());
}

bool VirtualMidiDevice::wait_all_closed(std::chrono::milliseconds limit) const {
  std::unique_lock lock(m_);
  return cv_.wait_for(lock, limit, [&] { return streams_.empty(); });
}

void VirtualMidiDevice::set_unavailable(bool unavailable) {
  std::lock_guard lock(m_);
  unavailable_ = unavailable;
}

void VirtualMidiDevice::set_hold_chunks(bool hold) {
  std::lock_guard lock(m_);
  hold_ = hold;
}

void VirtualMidiDevice::release_held() {
  std::unique_lock lock(m_);
  run_callbacks(lock, std::exchange(held_, {}));
}

}  // namespace platform
