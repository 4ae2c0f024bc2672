#include "ui/midi_file.h"

#include <cstring>

namespace ui::midi {

namespace {

std::uint32_t be32(const unsigned char* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}
int be16(const unsigned char* p) { return p[0] << 8 | p[1]; }

}  // namespace

bool read_number(Bytes data, std::size_t& pos, std::uint32_t& value) {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) {
    if (pos >= data.size()) return false;
    const unsigned char b = data[pos++];
    v = (v << 7) | (b & 0x7F);
    if (!(b & 0x80)) {
      value = v;
      return true;
    }
  }
  return false;
}

std::optional<Song> read_song(Bytes file) {
  constexpr std::size_t kHead = 14;
  if (file.size() < kHead || std::memcmp(file.data(), "MThd", 4) != 0 || be32(file.data() + 4) != 6) {
    return std::nullopt;
  }
  Song song;
  song.format = be16(file.data() + 8);
  const int track_count = be16(file.data() + 10);
  song.division = be16(file.data() + 12);
  std::size_t at = kHead;
  for (int i = 0; i < track_count; ++i) {
    if (file.size() - at < 8 || std::memcmp(file.data() + at, "MTrk", 4) != 0) return std::nullopt;
    const std::uint32_t length = be32(file.data() + at + 4);
    at += 8;
    if (length > file.size() - at) return std::nullopt;
    Track t;
    t.data = file.subspan(at, length);
    at += length;
    if (t.data.empty()) {
      t.ended = true;
    } else if (!read_number(t.data, t.first_pos, t.first_delta)) {
      return std::nullopt;
    }
    song.tracks.push_back(t);
  }
  rewind(song);
  return song;
}

void rewind(Song& song) {
  for (Track& t : song.tracks) {
    t.pos = t.first_pos;
    t.next_tick = t.first_delta;
    t.running = 0;
    t.ended = t.data.empty();
  }
}

}  // namespace ui::midi
