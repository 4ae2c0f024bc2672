// The player on a virtual clock: when notes sound, that they sound at their
// time, stopping and starting again, the play counts, and the hand-over
// between the clock's thread and the caller's.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "music_support.h"
#include "platform/midi_stream.h"
#include "platform/midi_virtual_stream.h"
#include "ui/about_tune.h"
#include "ui/midi_player.h"

using namespace music_test;
using platform::RecordedMessage;
using std::chrono::milliseconds;

namespace {

constexpr std::uint64_t kSecond = 1'000'000;
constexpr std::uint64_t kTuneLength = 64 * kSecond;
const milliseconds kPatience{10000};  // a generous bound for another thread to finish, never a timing

bool is_note_on(const RecordedMessage& m) { return (m.message & 0xF0) == 0x90 && (m.message >> 16) > 0; }
bool is_all_notes_off(const RecordedMessage& m) { return (m.message & 0xF0) == 0xB0 && ((m.message >> 8) & 0x7F) == 123; }

std::vector<RecordedMessage> music_only(const std::vector<RecordedMessage>& all) {
  std::vector<RecordedMessage> out;
  std::copy_if(all.begin(), all.end(), std::back_inserter(out), [](auto& m) { return !is_all_notes_off(m); });
  return out;
}

class PlayerOnVirtualClock : public testing::Test {
 protected:
  void SetUp() override { platform::set_midi_stream_factory(device.factory()); }
  void TearDown() override { platform::set_midi_stream_factory(nullptr); }

  // The tune's own schedule in µs at 500000 µs a quarter, 480 ticks a quarter.
  static std::vector<RecordedMessage> ideal(std::uint64_t offset_us = 0) {
    std::vector<RecordedMessage> out;
    for (const auto& m : schedule_of(Bytes(ui::about_tune().begin(), ui::about_tune().end()))) {
      out.push_back({offset_us + m.tick * 500000 / 480, m.message});
    }
    return out;
  }

  static void expect_on_time(const std::vector<RecordedMessage>& got, const std::vector<RecordedMessage>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      ASSERT_EQ(got[i].message, want[i].message) << i;
      const auto error = got[i].time_us > want[i].time_us ? got[i].time_us - want[i].time_us : want[i].time_us - got[i].time_us;
      ASSERT_LE(error, 1000u) << "message " << i << " at " << got[i].time_us << " µs, due at " << want[i].time_us;
    }
  }

  platform::VirtualMidiDevice device;
};

TEST_F(PlayerOnVirtualClock, PlaysTheWholeTuneOnceOnTimeThenStaysSilent) {
  ui::MidiPlayer player;
  player.start(ui::about_tune(), 1);
  EXPECT_TRUE(player.playing());
  device.advance_to(0);
  const auto first = device.messages();
  ASSERT_GE(first.size(), 2u);
  EXPECT_EQ(first[0].time_us, 0u);
  const auto note = std::find_if(first.begin(), first.end(), is_note_on);
  ASSERT_NE(note, first.end()) << "the first note sounds at once";
  EXPECT_EQ(note->time_us, 0u);

  device.advance_to(kTuneLength + kSecond);
  ASSERT_TRUE(device.wait_all_closed(kPatience)) << "the output is closed after the end";
  EXPECT_FALSE(player.playing());
  const auto played = music_only(device.messages());
  expect_on_time(played, ideal());

  device.advance_to(3 * kTuneLength);
  EXPECT_EQ(music_only(device.messages()).size(), played.size()) << "nothing more after the end";
  EXPECT_EQ(device.streams_opened(), 1);
}

TEST_F(PlayerOnVirtualClock, RepeatsWithoutAGapWithPlayCount0) {
  ui::MidiPlayer player;
  player.start(ui::about_tune(), 0);
  device.advance_to(2 * kTuneLength + kSecond);
  EXPECT_TRUE(player.playing());
  auto want = ideal();
  const auto second = ideal(kTuneLength);
  const auto third = ideal(2 * kTuneLength);
  want.insert(want.end(), second.begin(), second.end());
  // The third pass has begun: its events up to one second in.
  for (const auto& m : third) if (m.time_us <= 2 * kTuneLength + kSecond) want.push_back(m);
  expect_on_time(music_only(device.messages()), want);
  player.stop();
  EXPECT_EQ(device.streams_open(), 0);
}

TEST_F(PlayerOnVirtualClock, KeepsTheFilesDivisionAndTimesATempoChangeFromItsOwnTick) {
  // 96 ticks a quarter; the tempo halves the quarter to 250000 µs at tick 192.
  const Bytes file = smf(0, 96, {cat({
                                     {0x00, 0x90, 60, 100},                     // tick 0
                                     {0x60, 0x90, 62, 100},                     // tick 96
                                     {0x60, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90},  // tick 192: 250000 µs
                                     {0x00, 0x90, 64, 100},                     // tick 192
                                     {0x30, 0x90, 65, 100},                     // tick 240
                                     {0x81, 0x10, 0x80, 60, 0},                 // tick 384
                                     end_of_track(),
                                 })});
  ui::MidiPlayer player;
  player.start(file, 1);
  device.advance_to(3 * kSecond);
  ASSERT_TRUE(device.wait_all_closed(kPatience));
  const std::vector<std::pair<std::uint64_t, std::uint32_t>> want = {
      {0, short_msg(0x90, 60, 100)},
      {500000, short_msg(0x90, 62, 100)},   // 96 ticks = 1 quarter at 500000 µs
      {1000000, short_msg(0x90, 64, 100)},  // 192 ticks = 2 quarters at 500000 µs
      {1125000, short_msg(0x90, 65, 100)},  // + 48 ticks = 1/2 quarter at 250000 µs = 125000
      {1500000, short_msg(0x80, 60, 0)},    // + 192 ticks = 2 quarters at 250000 µs = 500000
  };
  std::vector<std::pair<std::uint64_t, std::uint32_t>> got;
  for (const auto& m : music_only(device.messages())) got.emplace_back(m.time_us, m.message);
  EXPECT_EQ(got, want);
}

TEST_F(PlayerOnVirtualClock, PlayCount2AndBadDataNeverSound) {
  ui::MidiPlayer player;
  player.start(ui::about_tune(), 2);
  EXPECT_FALSE(player.playing());
  Bytes no_track(ui::about_tune().begin(), ui::about_tune().end());
  no_track[17] = 'x';  // "MTrx"
  player.start(no_track, 1);
  EXPECT_FALSE(player.playing());
  player.start(Bytes{'M', 'T', 'h', 'd'}, 0);
  player.start({}, 0);
  device.advance_to(kTuneLength);
  EXPECT_EQ(device.streams_opened(), 0);
  EXPECT_TRUE(device.messages().empty());
}

TEST_F(PlayerOnVirtualClock, WithoutADeviceTheMusicIsSilentlyMissing) {
  device.set_unavailable(true);
  ui::MidiPlayer player;
  player.start(ui::about_tune(), 1);
  EXPECT_FALSE(player.playing());
  player.stop();
}

TEST_F(PlayerOnVirtualClock, StopSilencesAtOnceAndStartingAgainBeginsAtTheFirstNote) {
  ui::MidiPlayer player;
  player.start(ui::about_tune(), 1);
  device.advance_to(5 * kSecond);
  const auto before = device.messages();
  player.stop();
  EXPECT_FALSE(player.playing());
  EXPECT_EQ(device.streams_open(), 0) << "both chunks came back and the stream is closed";

  const auto after = device.messages();
  std::vector<bool> off(16, false);
  for (std::size_t i = before.size(); i < after.size(); ++i) {
    ASSERT_TRUE(is_all_notes_off(after[i]));
    EXPECT_EQ(after[i].time_us, 5 * kSecond);
    off[after[i].message & 0x0F] = true;
  }
  for (int ch = 0; ch < 16; ++ch) EXPECT_TRUE(off[ch]) << "channel " << ch;

  device.advance_to(10 * kSecond);
  EXPECT_EQ(device.messages().size(), after.size()) << "silent after the stop";

  player.start(ui::about_tune(), 1);
  device.advance_to(12 * kSecond);
  const auto now = device.messages();
  std::vector<RecordedMessage> again(now.begin() + after.size(), now.end());
  auto want = ideal(10 * kSecond);
  want.erase(std::remove_if(want.begin(), want.end(), [](auto& m) { return m.time_us > 12 * kSecond; }), want.end());
  expect_on_time(again, want);
  EXPECT_EQ(device.streams_opened(), 2);
}

TEST_F(PlayerOnVirtualClock, StopFromAnotherThreadWhileTheClockRuns) {
  // The clock's thread refills chunks in the callback while this thread
  // stops: run it many times so that the two meet at every point.
  for (int round = 0; round < 40; ++round) {
    const std::uint64_t base = device.now();
    const std::size_t seen = device.messages().size();
    ui::MidiPlayer player;
    player.start(ui::about_tune(), round % 2);
    std::promise<void> going;
    std::atomic<bool> halt{false};
    std::thread clock([&] {
      bool signalled = false;
      for (std::uint64_t t = base; t < base + 20 * kSecond && !halt; t += 1000 + 997 * (round % 7)) {
        device.advance_to(t);
        if (!signalled && t >= base + 1000 * (round + 1)) {
          signalled = true;
          going.set_value();
        }
      }
      if (!signalled) going.set_value();
    });
    going.get_future().wait();
    player.stop();
    halt = true;
    clock.join();
    EXPECT_FALSE(player.playing());
    ASSERT_EQ(device.streams_open(), 0) << "round " << round;
    const auto all = device.messages();
    const auto first_off = std::find_if(all.begin() + seen, all.end(), is_all_notes_off);
    ASSERT_NE(first_off, all.end());
    EXPECT_TRUE(std::none_of(first_off, all.end(), is_note_on)) << "no note after the stop, round " << round;
  }
}

TEST_F(PlayerOnVirtualClock, AStopThatRunsOutOfPatienceKeepsTheChunksUntilTheyComeBack) {
  {
    ui::MidiPlayer player(milliseconds(0));
    device.set_hold_chunks(true);
    player.start(ui::about_tune(), 0);
    device.advance_to(2 * kSecond);
    player.stop();
    EXPECT_FALSE(player.playing());
    EXPECT_EQ(device.streams_open(), 1) << "the output still holds the chunks: nothing freed, nothing closed";
    player.start(ui::about_tune(), 2);  // the player itself is free for new music
  }
  EXPECT_EQ(device.streams_open(), 1) << "the player is gone, its chunks are kept";
  device.release_held();
  EXPECT_TRUE(device.wait_all_closed(kPatience));
}

}  // namespace
