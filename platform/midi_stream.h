#pragma once
// The timed MIDI output that the player feeds: a stream opened on the
// default device, paused at first, that plays queued chunks of stream events
// at their times and hands every played chunk back through a callback on the
// stream's own thread. Shaped after the system's multimedia stream calls.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace platform {

// One buffer of stream events (the stand-in for a stream header). The
// player owns it; between queue() and its return through the callback the
// stream reads it and nobody else may touch it.
struct MidiChunk {
  static constexpr std::size_t kCapacity = 1024;
  std::array<unsigned char, kCapacity> data{};
  std::size_t bytes_recorded = 0;
};

// A stream event is 12 bytes: delta ticks, stream id 0, event word, each a
// little-endian 32-bit number.
inline constexpr std::size_t kStreamEventBytes = 12;
inline constexpr std::uint32_t kEventShortMessage = 0x00;  // status | d1 << 8 | d2 << 16
inline constexpr std::uint32_t kEventTempo = 0x01;         // µs per quarter in the low 24 bits
inline constexpr std::uint32_t kEventCallbackFlag = 0x40000000;

struct StreamEvent {
  std::uint32_t delta = 0;
  std::uint32_t stream_id = 0;
  std::uint32_t event = 0;
};

inline std::uint32_t stream_event_type(std::uint32_t event) { return (event >> 24) & 0x3F; }
inline std::uint32_t stream_event_value(std::uint32_t event) { return event & 0xFFFFFF; }

// Reads/writes the event at byte offset `at`; the caller keeps at + 12 within the chunk.
StreamEvent read_stream_event(const MidiChunk& chunk, std::size_t at);
void write_stream_event(MidiChunk& chunk, std::size_t at, const StreamEvent& event);

class MidiStream {
 public:
  enum class Notice { chunk_done, position_reached };
  using Callback = std::function<void(Notice, MidiChunk&)>;

  virtual ~MidiStream() = default;  // closes without asking; no callback afterwards
  MidiStream() = default;
  MidiStream(const MidiStream&) = delete;
  MidiStream& operator=(const MidiStream&) = delete;

  virtual bool set_time_division(int ticks_per_quarter) = 0;
  virtual bool prepare(MidiChunk& chunk) = 0;
  virtual bool unprepare(MidiChunk& chunk) = 0;  // fails while the chunk is queued
  virtual bool queue(MidiChunk& chunk) = 0;      // needs a prepared chunk not already queued
  virtual bool restart() = 0;                    // starts or resumes playing
  // Stop pauses and rewinds the position; stop and reset both give every
  // queued chunk back through the callback; reset silences all notes at once.
  virtual bool stop() = 0;
  virtual bool reset() = 0;
  // Fails while chunks are queued or when called from the callback; after
  // success the stream makes no more callbacks and holds no chunk.
  virtual bool close() = 0;
};

using MidiStreamFactory = std::function<std::unique_ptr<MidiStream>(MidiStream::Callback)>;

// Opens a stream on the default output; nullptr when there is none.
std::unique_ptr<MidiStream> open_midi_stream(MidiStream::Callback callback);

// Replaces the output that open_midi_stream uses (tests, offline rendering);
// an empty factory brings back the real one.
void set_midi_stream_factory(MidiStreamFactory factory);

}  // namespace platform
