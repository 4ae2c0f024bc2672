// Reading MIDI files: what is accepted, and that anything damaged is
// refused without reading out of bounds.
#include <gtest/gtest.h>

#include "music_support.h"
#include "ui/midi_file.h"

using namespace music_test;
using ui::midi::read_number;
using ui::midi::read_song;

namespace {

TEST(MidiNumber, ReadsOneToFourBytesMostSignificantFirst) {
  const Bytes data = {0x00, 0x7F, 0x81, 0x00, 0xC0, 0x80, 0x00, 0xFF, 0xFF, 0xFF, 0x7F};
  std::size_t p = 0;
  std::uint32_t v = 1;
  ASSERT_TRUE(read_number(data, p, v));
  EXPECT_EQ(v, 0u);
  ASSERT_TRUE(read_number(data, p, v));
  EXPECT_EQ(v, 127u);
  ASSERT_TRUE(read_number(data, p, v));
  EXPECT_EQ(v, 128u);
  ASSERT_TRUE(read_number(data, p, v));
  EXPECT_EQ(v, 0x100000u);
  ASSERT_TRUE(read_number(data, p, v));
  EXPECT_EQ(v, 0x0FFFFFFFu);
  EXPECT_EQ(p, data.size());
}

TEST(MidiNumber, RefusesRunningOffTheEndOrAFifthByte) {
  const Bytes cut = {0x81, 0x80};
  std::size_t p = 0;
  std::uint32_t v;
  EXPECT_FALSE(read_number(cut, p, v));
  const Bytes too_long = {0x81, 0x80, 0x80, 0x80, 0x00};
  p = 0;
  EXPECT_FALSE(read_number(too_long, p, v));
}

TEST(MidiFile, ReadsHeaderTracksAndFirstDeltas) {
  const Bytes f = smf(1, 96, {cat({{0x83, 0x60, 0x90, 60, 100}, end_of_track()}), {}, cat({{0x05}, end_of_track()})});
  const auto song = read_song(f);
  ASSERT_TRUE(song);
  EXPECT_EQ(song->format, 1);
  EXPECT_EQ(song->division, 96);
  ASSERT_EQ(song->tracks.size(), 3u);
  EXPECT_EQ(song->tracks[0].next_tick, 480u);
  EXPECT_EQ(song->tracks[0].pos, 2u);
  EXPECT_FALSE(song->tracks[0].ended);
  EXPECT_TRUE(song->tracks[1].ended) << "an empty track starts ended";
  EXPECT_EQ(song->tracks[2].next_tick, 5u);
}

TEST(MidiFile, RefusesDamagedFiles) {
  const Bytes good = smf(0, 480, {cat({{0x00, 0x90, 60, 100}, end_of_track()})});
  ASSERT_TRUE(read_song(good));

  Bytes wrong_magic = good;
  wrong_magic[1] = 'X';
  EXPECT_FALSE(read_song(wrong_magic));

  Bytes wrong_length = good;
  wrong_length[7] = 7;
  EXPECT_FALSE(read_song(wrong_length));

  Bytes not_a_track = good;
  not_a_track[14 + 3] = 'x';  // "MTrx": the second chunk is no track
  EXPECT_FALSE(read_song(not_a_track));

  Bytes too_long = good;
  too_long[14 + 7] += 1;  // the track claims one byte more than there is
  EXPECT_FALSE(read_song(too_long));

  EXPECT_FALSE(read_song(smf(0, 480, {{0x80, 0x80, 0x80, 0x80, 0x01}})));  // damaged first delta
  EXPECT_FALSE(read_song(smf(0, 480, {{0x81}})));                          // first delta cut short

  for (std::size_t n = 0; n < good.size(); ++n) {
    EXPECT_FALSE(read_song(Bytes(good.begin(), good.begin() + n))) << "cut at " << n;
  }
  Bytes missing_track = good;
  missing_track[11] = 2;  // announces two tracks, holds one
  EXPECT_FALSE(read_song(missing_track));
}

}  // namespace
