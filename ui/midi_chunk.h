#pragma once
// Turns a song into chunks of stream events, one chunk at a time, as the
// output asks for them: the tracks are merged by time, channel messages and
// tempo changes are kept, everything else is dropped.
#include <cstdint>
#include <optional>

#include "platform/midi_stream.h"
#include "ui/midi_file.h"

namespace ui::midi {

enum class FillResult { filled, end };

class ChunkFiller {
 public:
  explicit ChunkFiller(Song song) : song_(std::move(song)) {}

  // Fills `chunk` from empty. With `reset` the filler starts afresh (the
  // first chunk of a playing); with `repeat` the song starts over without a
  // gap when all tracks have ended. `end` means nothing more is to be
  // played and the chunk is left empty.
  FillResult fill(platform::MidiChunk& chunk, bool reset, bool repeat);

  // Back to the first event of every track.
  void rewind();

  void set_speed_percent(int percent) { speed_ = percent > 0 ? percent : 100; }
  std::uint32_t tempo() const { return tempo_; }
  int division() const { return song_.division; }

 private:
  struct Event {
    std::uint64_t tick = 0;
    std::uint32_t word = 0;
  };
  enum class Read { event, dropped, no_track, error };

  Read read_next(Event& event);
  std::uint64_t max_span() const;

  Song song_;
  std::uint32_t tempo_ = 0;  // µs per quarter; 0 until a tempo event is read
  int speed_ = 100;
  std::uint64_t last_tick_ = 0;
  bool all_ended_ = false;
  std::optional<Event> carry_;
};

}  // namespace ui::midi
