#pragma once
// One playing of a song on one output stream: the two chunks in flight, the
// callback that refills them on the stream's thread, and the stop that the
// GUI thread hands over to that callback.
//
// Threads. The stream calls on_notice() on its own thread; the GUI thread
// calls stop() and playing(). Every flag, the count of chunks in the
// stream's hands and the filler are guarded by one mutex; the stream is
// called with that mutex held only to queue a chunk (streams never call back
// from inside queue()), and stop()/reset() are called without it because
// they may hand chunks back on the calling thread.
//
// Releasing. Closing a stream waits for its thread, so the stream is never
// closed from its own callback: at the end of the song the callback hands
// the release to a short-lived thread that holds the session alive.
//
// A stop whose wait runs out. The chunks are then still in the output's
// hands and must not be freed: the session keeps itself alive (stop requested,
// nothing refilled) and, when the last chunk comes back, hands the release
// over as above. The player meanwhile forgets it and may start a new one.
#include <array>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "platform/midi_stream.h"
#include "ui/midi_chunk.h"

namespace ui {

class MidiSession : public std::enable_shared_from_this<MidiSession> {
 public:
  // Reads the song, opens the output and starts playing; nullptr (silently)
  // when the data is no MIDI file, there is nothing to play or the output fails.
  static std::shared_ptr<MidiSession> begin(std::span<const unsigned char> music, bool repeat);

  ~MidiSession();
  MidiSession(const MidiSession&) = delete;
  MidiSession& operator=(const MidiSession&) = delete;

  // Stops and silences; waits at most `wait` for both chunks to come back.
  void stop(std::chrono::milliseconds wait);
  bool playing() const;

 private:
  MidiSession() = default;
  void on_notice(platform::MidiStream::Notice notice, platform::MidiChunk& chunk);
  void hand_over_release(std::unique_lock<std::mutex>& lock);
  void release();
  bool start_playing();

  std::vector<unsigned char> music_;
  std::optional<midi::ChunkFiller> filler_;
  std::unique_ptr<platform::MidiStream> stream_;
  std::array<platform::MidiChunk, 2> chunks_;

  mutable std::mutex m_;
  std::condition_variable back_;
  int out_ = 0;  // chunks in the stream's hands
  bool playing_ = false;
  bool repeat_ = false;
  bool end_reached_ = false;
  bool stop_requested_ = false;
  bool released_ = false;   // the release is done or handed over
  bool abandoned_ = false;  // the stop gave up waiting
  std::shared_ptr<MidiSession> keep_alive_;
};

}  // namespace ui
