// Messages scheduled on the synthesizer's own clock: the clock is the sound
// made so far, messages given for one time play in the order given, and the
// ones dropped before their time never play. The clock is moved by rendering,
// without an audio device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/midi_fluid_synth.h"

namespace {

constexpr int kRate = 44100;
constexpr std::uint32_t kOrgan = 0xC0 | 19 << 8;  // channel 0: an organ, which sounds while held
constexpr std::uint32_t kNoteOn = 0x90 | 60 << 8 | 100 << 16;
constexpr std::uint32_t kNoteOff = 0x90 | 60 << 8;  // a note-on of velocity 0

constexpr int kSilent = 33;  // -60 dBFS: below this a sample is silence (dither aside)

// Renders `ms` of sound and gives its loudest sample.
int loudest(platform::FluidSynth& synth, int ms) {
  std::vector<std::int16_t> block(std::size_t(kRate) * ms / 1000 * 2);
  EXPECT_TRUE(synth.render(static_cast<int>(block.size() / 2), block.data()));
  int peak = 0;
  for (auto s : block) peak = std::max(peak, std::abs(int(s)));
  return peak;
}

TEST(SynthSchedule, PlaysOnTheSoundsClockInTheOrderGivenAndDropsWhatIsAhead) {
  if (!std::filesystem::exists(platform::kSoundFontPath)) GTEST_SKIP() << "no soundfont on this machine";
  auto synth = platform::FluidSynth::create(kRate);
  ASSERT_NE(synth, nullptr);

  // The clock is the sound made: 0 before any, 100 ms after 100 ms of it
  // (counted at the start of each block of 64 frames, 1.5 ms).
  EXPECT_EQ(synth->clock_us(), 0u);
  EXPECT_LT(loudest(*synth, 100), kSilent);
  EXPECT_GE(synth->clock_us(), 97'000u);
  EXPECT_LE(synth->clock_us(), 100'000u);

  // A note held from 200 ms sounds from then on, not before.
  synth->schedule(0, kOrgan);
  synth->schedule(200'000, kNoteOn);
  EXPECT_LT(loudest(*synth, 80), kSilent) << "played before its time";
  EXPECT_GT(loudest(*synth, 500), 1000) << "not played at its time";
  synth->silence();
  loudest(*synth, 1000);  // the tail dies away

  // On and off for one time, in that order: the note ends at once.
  const std::uint64_t at = synth->clock_us() + 50'000;
  synth->schedule(at, kNoteOn);
  synth->schedule(at, kNoteOff);
  loudest(*synth, 1000);
  EXPECT_LT(loudest(*synth, 300), kSilent) << "a note-off scheduled with its note-on played first";

  // Dropped before its time: the note never comes.
  synth->schedule(synth->clock_us() + 200'000, kNoteOn);
  synth->drop_scheduled();
  EXPECT_LT(loudest(*synth, 500), kSilent) << "a dropped note played";
  // What is scheduled after a drop plays at its own time, even one before
  // the dropped notes'; a time gone by, at once.
  synth->schedule(synth->clock_us() + 1'000'000, kNoteOn);
  synth->drop_scheduled();
  synth->schedule(0, kNoteOn);
  EXPECT_GT(loudest(*synth, 100), 1000) << "held behind the dropped note";
}

}  // namespace
