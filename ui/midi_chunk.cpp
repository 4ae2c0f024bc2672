#include "ui/midi_chunk.h"

#include <algorithm>
#include <limits>

namespace ui::midi {

using platform::kStreamEventBytes;

void ChunkFiller::rewind() {
  midi::rewind(song_);
  last_tick_ = 0;
  all_ended_ = false;
  carry_.reset();
}

std::uint64_t ChunkFiller::max_span() const {
  if (tempo_ == 0) return 0;
  return std::uint64_t(song_.division) * 60000 / tempo_;
}

// Reads the next event of the track that is due first (ties go to the
// track that comes first in the file). A damaged track ends where the
// damage is, so a bad file can never make the reading go round in circles.
ChunkFiller::Read ChunkFiller::read_next(Event& event) {
  Track* t = nullptr;
  for (Track& candidate : song_.tracks) {
    if (!candidate.ended && (!t || candidate.next_tick < t->next_tick)) t = &candidate;
  }
  if (!t) return Read::no_track;

  const Bytes d = t->data;
  std::size_t p = t->pos;
  auto fail = [&] {
    t->ended = true;
    return Read::error;
  };
  if (p >= d.size()) return fail();

  unsigned char status = d[p];
  if (status & 0x80) ++p;
  else status = t->running;
  if (!(status & 0x80)) return fail();

  Read result = Read::dropped;
  event.tick = t->next_tick;
  if (status < 0xF0) {
    const int length = (status & 0xE0) == 0xC0 ? 1 : 2;  // program change, channel pressure: one
    if (d.size() - p < std::size_t(length)) return fail();
    const std::uint32_t d1 = d[p] & 0x7F;
    const std::uint32_t d2 = length == 2 ? d[p + 1] & 0x7F : 0;
    p += length;
    t->running = status;
    event.word = status | d1 << 8 | d2 << 16;
    // Volume changes ask the output to tell us when they are reached.
    if ((status & 0xF0) == 0xB0 && d1 == 7) event.word |= platform::kEventCallbackFlag;
    result = Read::event;
  } else if (status == 0xF0 || status == 0xF7) {
    std::uint32_t size;
    if (!read_number(d, p, size) || size > d.size() - p) return fail();
    p += size;
  } else if (status == 0xFF) {
    if (p >= d.size()) return fail();
    const unsigned char type = d[p++];
    std::uint32_t size;
    if (!read_number(d, p, size) || size > d.size() - p) return fail();
    if (type == 0x51 && size >= 3) {
      tempo_ = std::uint32_t{d[p]} << 16 | std::uint32_t{d[p + 1]} << 8 | d[p + 2];
      const std::uint32_t scaled = std::uint32_t(std::uint64_t(tempo_) * 100 / speed_) & 0xFFFFFF;
      event.word = platform::kEventTempo << 24 | scaled;
      result = Read::event;
    }
    p += size;
    if (type == 0x2F) {
      t->pos = p;
      t->ended = true;
      return result;
    }
  } else {
    return fail();  // other system messages have no place in a file
  }

  std::uint32_t delta;
  if (!read_number(d, p, delta)) return fail();
  t->pos = p;
  t->next_tick += delta;
  return result;
}

FillResult ChunkFiller::fill(platform::MidiChunk& chunk, bool reset, bool repeat) {
  chunk.bytes_recorded = 0;
  if (reset) {
    all_ended_ = false;
    carry_.reset();
  }
  std::uint64_t start_tick = last_tick_;
  bool rewound = false;
  bool exceeded = false;  // the span was passed: one more event, then close
  bool closing = false;
  for (;;) {
    Event ev;
    if (carry_) {
      ev = *carry_;
      carry_.reset();
    } else {
      if (all_ended_) {
        // A song with nothing to play must not loop here for ever.
        if (!repeat || rewound) return FillResult::end;
        rewind();
        rewound = true;
        start_tick = 0;
      }
      const Read r = read_next(ev);
      if (r == Read::no_track) {
        all_ended_ = true;
        if (chunk.bytes_recorded > 0) return FillResult::filled;
        continue;
      }
      if (r == Read::error) {
        if (chunk.bytes_recorded > 0) return FillResult::filled;
        continue;
      }
      if (r == Read::dropped) continue;
    }
    if (closing || platform::MidiChunk::kCapacity - chunk.bytes_recorded < kStreamEventBytes) {
      carry_ = ev;
      return FillResult::filled;
    }
    const std::uint64_t delta = ev.tick - last_tick_;
    platform::write_stream_event(
        chunk, chunk.bytes_recorded,
        {static_cast<std::uint32_t>(std::min<std::uint64_t>(delta, std::numeric_limits<std::uint32_t>::max())),
         0, ev.word});
    chunk.bytes_recorded += kStreamEventBytes;
    last_tick_ = ev.tick;
    if (last_tick_ - start_tick > max_span()) {
      if (exceeded) closing = true;
      exceeded = true;
    }
  }
}

}  // namespace ui::midi
