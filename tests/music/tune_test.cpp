// The About window's tune is what the window expects: the file's layout,
// its notes and programs, and the committed file matches the program's copy.
#include <gtest/gtest.h>

#include <map>

#include "music_support.h"
#include "ui/about_tune.h"
#include "ui/midi_file.h"

using namespace music_test;

namespace {

Bytes tune() { return Bytes(ui::about_tune().begin(), ui::about_tune().end()); }

TEST(AboutTune, IsAFormat0FileOf5880BytesAt480TicksAQuarter) {
  const Bytes t = tune();
  EXPECT_EQ(t.size(), 5880u);
  const auto song = ui::midi::read_song(t);
  ASSERT_TRUE(song);
  EXPECT_EQ(song->format, 0);
  EXPECT_EQ(song->division, 480);
  ASSERT_EQ(song->tracks.size(), 1u);
  EXPECT_EQ(song->tracks[0].data.size(), 5858u);
  EXPECT_EQ(read_file(BIXIQIN_SOURCE_DIR "/data/about-tune.mid"), t) << "data/about-tune.mid is the same tune";
}

TEST(AboutTune, Has722NotesOnThreeChannelsWithItsProgramsAndEndsAt64Seconds) {
  std::uint64_t end = 0;
  const auto messages = schedule_of(tune(), &end);  // throws on any meta event but the end
  EXPECT_EQ(end, 61440u);

  std::map<std::pair<int, int>, int> sounding;  // channel, key -> notes on
  int starts = 0, ends = 0;
  std::vector<TimedMessage> programs;
  for (const auto& m : messages) {
    const int status = m.message & 0xFF, key = (m.message >> 8) & 0x7F, velocity = (m.message >> 16) & 0x7F;
    const int channel = status & 0x0F;
    ASSERT_LE(channel, 2);
    if ((status & 0xF0) == 0xC0) {
      programs.push_back(m);
      continue;
    }
    ASSERT_EQ(status & 0xF0, 0x90) << "only note-on events besides the programs";
    if (velocity > 0) {
      ++starts;
      ++sounding[std::make_pair(channel, key)];
    } else {
      ++ends;
      const std::pair<int, int> note{channel, key};
      ASSERT_GT(sounding[note]--, 0) << "a note ends that never began";
    }
    ASSERT_LE(m.tick, 61440u);
  }
  EXPECT_EQ(starts, 722);
  EXPECT_EQ(ends, 722);
  for (auto& [note, count] : sounding) EXPECT_EQ(count, 0);

  ASSERT_EQ(programs.size(), 3u);
  EXPECT_EQ(programs[0].tick, 0u);
  EXPECT_EQ(programs[0].message, short_msg(0xC1, 63));
  std::map<int, std::pair<std::uint64_t, int>> at16;
  for (int i = 1; i < 3; ++i) at16[programs[i].message & 0x0F] = {programs[i].tick, (programs[i].message >> 8) & 0x7F};
  EXPECT_EQ(at16[0], std::make_pair(std::uint64_t{16}, 83));
  EXPECT_EQ(at16[2], std::make_pair(std::uint64_t{16}, 32));
  // Each channel's program comes before its first note.
  for (const auto& m : messages) {
    if ((m.message & 0xF0) != 0x90) continue;
    const int ch = m.message & 0x0F;
    if (ch != 1) {
      EXPECT_GE(m.tick, 16u);
    }
  }
}

}  // namespace
