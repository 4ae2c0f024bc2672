// The real stream after it was closed: every call fails and none reaches the
// synthesizer it no longer has. ALSA's null device stands in for a sound
// card, so the stream opens on a machine without one.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/qt/midi_fluid_stream.h"
#include "platform/midi_fluid_synth.h"

TEST(ClosedStream, FailsEveryCallInsteadOfReachingTheSynthesizer) {
  if (!std::filesystem::exists(platform::kSoundFontPath)) GTEST_SKIP() << "no soundfont on this machine";
  // The default device of this process only: ALSA reads the user's file
  // under HOME when the synthesizer first opens it.
  std::string home = (std::filesystem::temp_directory_path() / "bixiqin-null-sound-XXXXXX").string();
  ASSERT_NE(mkdtemp(home.data()), nullptr);
  std::ofstream(home + "/.asoundrc") << "pcm.!default { type null }\n";
  setenv("HOME", home.c_str(), 1);
  setenv("PULSE_SERVER", "unix:/nonexistent", 1);

  auto stream = platform::open_fluid_midi_stream([](platform::MidiStream::Notice, platform::MidiChunk&) {});
  ASSERT_NE(stream, nullptr) << "no stream on ALSA's null device";
  platform::MidiChunk chunk;
  ASSERT_TRUE(stream->prepare(chunk));
  ASSERT_TRUE(stream->unprepare(chunk));
  ASSERT_TRUE(stream->close());
  EXPECT_FALSE(stream->stop());
  EXPECT_FALSE(stream->reset());
  EXPECT_FALSE(stream->restart());
  EXPECT_FALSE(stream->queue(chunk));
  stream.reset();
  std::filesystem::remove_all(home);
}
