#pragma once
// A FluidSynth synthesizer with the General MIDI soundfont, shared by the
// live stream and the offline renderer so that both sound the same.
#include <cstdint>
#include <memory>

namespace platform {

inline constexpr const char* kSoundFontPath = "/usr/share/sounds/sf2/default-GM.sf2";

class FluidSynth {
 public:
  // nullptr when the soundfont or the synthesizer cannot be had.
  static std::unique_ptr<FluidSynth> create(double sample_rate = 44100.0);
  ~FluidSynth();
  FluidSynth(const FluidSynth&) = delete;
  FluidSynth& operator=(const FluidSynth&) = delete;

  // status | d1 << 8 | d2 << 16, as a stream event carries it.
  void send_short_message(std::uint32_t message);
  // Every sounding note stops at once, on every channel.
  void silence();

  // The synthesizer's own clock: how much sound it has made, in µs. It moves
  // only as the audio output (or render()) takes samples, in steps of what
  // the output takes at once.
  std::uint64_t clock_us();
  // `message` is played when the clock reaches `at_us`, within the block of
  // 64 frames that the synthesizer makes at a time; a time already passed
  // plays in the next block. Messages play in the order given, ties and
  // times out of order included. One caller at a time, as send_short_message.
  void schedule(std::uint64_t at_us, std::uint32_t message);
  // Messages scheduled and not yet played are forgotten.
  void drop_scheduled();
  // Interleaved stereo 16-bit samples.
  bool render(int frames, std::int16_t* interleaved);
  // Opens the audio output; false without an audio device.
  bool start_audio();

 private:
  FluidSynth() = default;
  struct Handles;
  std::unique_ptr<Handles> h_;
};

}  // namespace platform
