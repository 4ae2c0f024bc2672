#pragma once
// Helpers of the music tests: building small MIDI files, reading chunks
// back, and an independent reading of the tune's schedule.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/midi_stream.h"

namespace music_test {

using Bytes = std::vector<unsigned char>;

inline void put_be(Bytes& out, std::uint32_t v, int bytes) {
  for (int s = 8 * (bytes - 1); s >= 0; s -= 8) out.push_back(static_cast<unsigned char>(v >> s));
}

// A file with the given tracks (raw event bytes, without the chunk head).
inline Bytes smf(int format, int division, std::initializer_list<Bytes> tracks) {
  Bytes f = {'M', 'T', 'h', 'd'};
  put_be(f, 6, 4);
  put_be(f, format, 2);
  put_be(f, static_cast<std::uint32_t>(tracks.size()), 2);
  put_be(f, division, 2);
  for (const Bytes& t : tracks) {
    f.insert(f.end(), {'M', 'T', 'r', 'k'});
    put_be(f, static_cast<std::uint32_t>(t.size()), 4);
    f.insert(f.end(), t.begin(), t.end());
  }
  return f;
}

inline Bytes end_of_track() { return {0x00, 0xFF, 0x2F, 0x00}; }

inline Bytes tempo_event(std::uint32_t us) {
  return {0x00, 0xFF, 0x51, 0x03, static_cast<unsigned char>(us >> 16), static_cast<unsigned char>(us >> 8),
          static_cast<unsigned char>(us)};
}

// Concatenation.
inline Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

inline std::vector<platform::StreamEvent> events_of(const platform::MidiChunk& chunk) {
  std::vector<platform::StreamEvent> out;
  for (std::size_t at = 0; at + platform::kStreamEventBytes <= chunk.bytes_recorded; at += platform::kStreamEventBytes) {
    out.push_back(platform::read_stream_event(chunk, at));
  }
  return out;
}

inline std::uint32_t short_msg(int status, int d1, int d2 = 0) {
  return static_cast<std::uint32_t>(status | d1 << 8 | d2 << 16);
}

// One channel message of a file, with its absolute tick.
struct TimedMessage {
  std::uint64_t tick;
  std::uint32_t message;
};

// A plain walk over a single-track file, written apart from the player's
// reader so that the two check each other.
std::vector<TimedMessage> schedule_of(const Bytes& file, std::uint64_t* end_tick = nullptr);

Bytes read_file(const std::string& path);

}  // namespace music_test
