#pragma once
// Reading a Standard MIDI File: the header, the track chunks and the
// variable-length numbers. The tracks point into the caller's bytes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ui::midi {

using Bytes = std::span<const unsigned char>;

struct Track {
  Bytes data;                    // the chunk's bytes after its 8-byte head
  std::size_t pos = 0;           // read position in data
  std::uint64_t next_tick = 0;   // absolute tick of the next event
  std::uint32_t first_delta = 0; // for rewinding
  std::size_t first_pos = 0;
  unsigned char running = 0;     // running status, 0 when none
  bool ended = false;
};

struct Song {
  int format = 0;
  int division = 0;
  std::vector<Track> tracks;
};

// A variable-length number: 7 bits a byte, most significant first, at most
// four bytes. False when it runs past the end or goes on for longer.
bool read_number(Bytes data, std::size_t& pos, std::uint32_t& value);

// Header "MThd" of length 6 and as many "MTrk" chunks as it announces, each
// within the data, each with a readable first delta; nothing otherwise.
std::optional<Song> read_song(Bytes file);

// Every track back to its first event (empty tracks stay ended).
void rewind(Song& song);

}  // namespace ui::midi
