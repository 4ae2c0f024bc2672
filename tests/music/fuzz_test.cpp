// Thousands of damaged variants of the tune through the reader and the
// filler: every one either is refused or plays to an end, inside the chunk.
#include <gtest/gtest.h>

#include <random>

#include "music_support.h"
#include "ui/about_tune.h"
#include "ui/midi_chunk.h"
#include "ui/midi_file.h"

using namespace music_test;

namespace {

Bytes mutate(const Bytes& tune, std::mt19937& rng) {
  Bytes b = tune;
  const int edits = 1 + rng() % 8;
  for (int e = 0; e < edits && !b.empty(); ++e) {
    const std::size_t at = rng() % b.size();
    switch (rng() % 6) {
      case 0: b[at] = static_cast<unsigned char>(rng()); break;
      case 1: b[at] ^= static_cast<unsigned char>(1u << (rng() % 8)); break;
      case 2: b.erase(b.begin() + at, b.begin() + std::min(b.size(), at + 1 + rng() % 16)); break;
      case 3: b.insert(b.begin() + at, 1 + rng() % 8, static_cast<unsigned char>(rng())); break;
      case 4: b.resize(at); break;
      case 5: b[at] = static_cast<unsigned char>(0x80 | rng()); break;  // status bytes and number continuations
    }
  }
  // Now and then a believable header on top, so that the tracks get read.
  if (rng() % 3 == 0 && b.size() >= 22) std::copy(tune.begin(), tune.begin() + 18, b.begin());
  return b;
}

TEST(MidiFuzz, DamagedTunesAreRefusedOrPlayToAnEnd) {
  const Bytes tune(ui::about_tune().begin(), ui::about_tune().end());
  std::mt19937 rng(20240611);
  int read = 0;
  for (int round = 0; round < 20000; ++round) {
    const Bytes b = mutate(tune, rng);
    auto song = ui::midi::read_song(b);
    if (!song) continue;
    ++read;
    ui::midi::ChunkFiller f(*song);
    platform::MidiChunk c;
    int fills = 0;
    bool first = true;
    // The tune has fewer than 1500 events; a variant cannot make more.
    while (f.fill(c, first, false) == ui::midi::FillResult::filled) {
      first = false;
      ASSERT_LE(c.bytes_recorded, platform::MidiChunk::kCapacity);
      ASSERT_EQ(c.bytes_recorded % platform::kStreamEventBytes, 0u);
      ASSERT_LT(++fills, 3000) << "round " << round << " does not end";
    }
    // With repeat a fill still returns.
    for (int i = 0; i < 50; ++i) f.fill(c, i == 0, true);
  }
  EXPECT_GT(read, 2000) << "enough variants got past the header to test the filler";
}

}  // namespace
