#pragma once
// A MIDI output driven by a virtual clock, for tests and offline rendering:
// nothing sounds, every short message is recorded with the virtual time in
// microseconds at which it played. The clock moves only when advance_to()
// is called; played chunks go back through the callback on the thread that
// advances the clock, so a test decides which thread plays the stream's part.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/midi_stream.h"

namespace platform {

struct RecordedMessage {
  std::uint64_t time_us = 0;
  std::uint32_t message = 0;  // status | d1 << 8 | d2 << 16
};

class VirtualMidiDevice {
 public:
  VirtualMidiDevice() = default;
  ~VirtualMidiDevice();  // waits for every stream opened on it to be destroyed
  VirtualMidiDevice(const VirtualMidiDevice&) = delete;
  VirtualMidiDevice& operator=(const VirtualMidiDevice&) = delete;

  // Opens streams on this device; the device must outlive them.
  MidiStreamFactory factory();

  // Plays everything due up to `us` (never moves backwards).
  void advance_to(std::uint64_t us);
  std::uint64_t now() const;

  std::vector<RecordedMessage> messages() const;
  int streams_opened() const;
  int streams_open() const;
  // Waits until no stream is open; false if that has not happened in `limit`.
  bool wait_all_closed(std::chrono::milliseconds limit) const;

  // No device: opening fails.
  void set_unavailable(bool unavailable);
  // A device that keeps the chunks it is told to give back on stop and
  // reset until release_held() is called.
  void set_hold_chunks(bool hold);
  void release_held();

 private:
  class Stream;
  friend class Stream;
  // A callback still to be made, with the stream it comes from.
  struct Pending {
    MidiStream::Callback callback;
    MidiStream::Notice notice;
    MidiChunk* chunk;
    const void* owner;
  };

  void run_callbacks(std::unique_lock<std::mutex>& lock, std::vector<Pending> pending);

  mutable std::mutex m_;
  mutable std::condition_variable cv_;
  std::uint64_t now_us_ = 0;
  std::vector<RecordedMessage> messages_;
  std::vector<Stream*> streams_;
  std::vector<Pending> held_;
  int opened_ = 0;
  int alive_ = 0;  // stream objects not yet destroyed
  int callbacks_running_ = 0;
  bool unavailable_ = false;
  bool hold_ = false;
};

}  // namespace platform
