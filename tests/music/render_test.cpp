// The offline render: the tune, played by the player on a virtual clock and
// rendered through the synthesizer, gives about 64 seconds of sound.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "platform/midi_fluid_synth.h"
#include "platform/midi_render.h"
#include "platform/midi_stream.h"
#include "platform/midi_virtual_stream.h"
#include "ui/about_tune.h"
#include "ui/midi_player.h"

namespace {

TEST(TuneRender, GivesAbout64SecondsThatAreNotSilent) {
  if (!std::filesystem::exists(platform::kSoundFontPath)) GTEST_SKIP() << "no soundfont on this machine";
  platform::VirtualMidiDevice device;
  platform::set_midi_stream_factory(device.factory());
  {
    ui::MidiPlayer player;
    player.start(ui::about_tune(), 1);
    device.advance_to(70'000'000);
    ASSERT_TRUE(device.wait_all_closed(std::chrono::seconds(10)));
  }
  platform::set_midi_stream_factory(nullptr);

  const auto dir = std::filesystem::temp_directory_path() / ("bixiqin-render-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  std::filesystem::create_directories(dir);
  const auto wav = dir / "tune.wav";
  const auto level = platform::render_midi_wav(device.messages(), 65.0, wav.string());
  ASSERT_TRUE(level);
  EXPECT_NEAR(level->seconds, 65.0, 0.01);
  EXPECT_GT(level->rms, 0.01) << "the render is not silent";
  EXPECT_LE(level->peak, 1.0);
  EXPECT_EQ(std::filesystem::file_size(wav), 44u + 65u * 44100u * 4u);

  // The first 0.25 s already sound (the tune starts at once); the tail after the end fades.
  std::ifstream in(wav, std::ios::binary);
  std::vector<std::int16_t> start(44100 / 4 * 2);
  in.seekg(44);
  in.read(reinterpret_cast<char*>(start.data()), static_cast<std::streamsize>(start.size() * 2));
  int loudest = 0;
  for (auto s : start) loudest = std::max(loudest, std::abs(int(s)));
  EXPECT_GT(loudest, 300);
  std::filesystem::remove_all(dir);
}

TEST(TuneRender, RefusesAFileThatCannotBeWritten) {
  if (!std::filesystem::exists(platform::kSoundFontPath)) GTEST_SKIP() << "no soundfont on this machine";
  EXPECT_FALSE(platform::render_midi_wav({}, 1.0, "/nonexistent-folder/x.wav"));
}

}  // namespace
