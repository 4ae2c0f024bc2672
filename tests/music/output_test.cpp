// The real output on this machine: with or without an audio device the
// player opens, plays or stays silent, and stops without a word on stderr.
#include <gtest/gtest.h>

#include "platform/midi_stream.h"
#include "ui/about_tune.h"
#include "ui/midi_player.h"

namespace {

TEST(RealMidiOutput, StartAndStopWorkWithOrWithoutADevice) {
  testing::internal::CaptureStderr();
  bool sounding = false;
  {
    ui::MidiPlayer player;
    player.start(ui::about_tune(), 1);
    sounding = player.playing();
    player.stop();
    EXPECT_FALSE(player.playing());
    if (!sounding) {
      // No device: the stream could not open, and nothing else happens.
      EXPECT_EQ(platform::open_midi_stream([](platform::MidiStream::Notice, platform::MidiChunk&) {}), nullptr);
    }
  }
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(said.find("fluidsynth"), std::string::npos) << said;
  if (!sounding) {
    EXPECT_EQ(said, "") << "no device is no message";
  }
}

}  // namespace
