#include "platform/midi_fluid_synth.h"

#include "platform/fluid_library.h"

namespace platform {

struct FluidSynth::Handles {
  const FluidLibrary* f = nullptr;
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  fluid_audio_driver_t* driver = nullptr;
};

std::unique_ptr<FluidSynth> FluidSynth::create(double sample_rate) {
  const FluidLibrary* f = fluid_library();
  if (!f || !f->is_soundfont(kSoundFontPath)) return nullptr;
  std::unique_ptr<FluidSynth> fs(new FluidSynth);
  fs->h_ = std::make_unique<Handles>();
  fs->h_->f = f;
  fs->h_->settings = f->new_settings();
  if (!fs->h_->settings) return nullptr;
  f->settings_setnum(fs->h_->settings, "synth.sample-rate", sample_rate);
  f->settings_setint(fs->h_->settings, "synth.reverb.active", 1);
  f->settings_setnum(fs->h_->settings, "synth.gain", 0.5);
  fs->h_->synth = f->new_synth(fs->h_->settings);
  if (!fs->h_->synth) return nullptr;
  if (f->synth_sfload(fs->h_->synth, kSoundFontPath, 1) == FLUID_FAILED) return nullptr;
  return fs;
}

FluidSynth::~FluidSynth() {
  if (!h_) return;
  const FluidLibrary* f = h_->f;
  // The driver pulls samples from the synth on its own thread: it goes first.
  if (h_->driver) f->delete_audio_driver(h_->driver);
  if (h_->synth) f->delete_synth(h_->synth);
  if (h_->settings) f->delete_settings(h_->settings);
}

namespace {

// The synthesizer's own choice (64-frame periods, 1.5 ms) runs dry as soon
// as the machine is busy. Background music may start a little later
// instead: the sound is made 32 periods of 512 frames (0.37 s) ahead, and
// a note still lands within its period (12 ms). The sound server's own
// driver cannot set the two apart (one period is its whole buffer), so it
// gets one period of 2048 frames (46 ms) and comes second.
constexpr int kPeriodFrames = 512;
constexpr int kPeriods = 32;
constexpr int kServerFrames = 2048;

}  // namespace

bool FluidSynth::start_audio() {
  if (h_->driver) return true;
  const FluidLibrary& f = *h_->f;
  fluid_settings_t* s = h_->settings;
  // ALSA's default device is the sound server's on PulseAudio and PipeWire
  // desktops, and the sound card elsewhere; the server's own driver when it
  // is not; without either the music stays silent.
  f.settings_setstr(s, "audio.driver", "alsa");
  f.settings_setint(s, "audio.period-size", kPeriodFrames);
  f.settings_setint(s, "audio.periods", kPeriods);
  h_->driver = f.new_audio_driver(s, h_->synth);
  if (h_->driver) return true;
  f.settings_setstr(s, "audio.driver", "pulseaudio");
  f.settings_setint(s, "audio.period-size", kServerFrames);
  h_->driver = f.new_audio_driver(s, h_->synth);
  return h_->driver != nullptr;
}

void FluidSynth::send_short_message(std::uint32_t message) {
  const int status = message & 0xFF;
  const int channel = status & 0x0F;
  const int d1 = (message >> 8) & 0x7F;
  const int d2 = (message >> 16) & 0x7F;
  fluid_synth_t* s = h_->synth;
  const FluidLibrary& f = *h_->f;
  switch (status & 0xF0) {
    case 0x80: f.noteoff(s, channel, d1); break;
    case 0x90:
      if (d2 == 0) f.noteoff(s, channel, d1);
      else f.noteon(s, channel, d1, d2);
      break;
    case 0xA0: f.key_pressure(s, channel, d1, d2); break;
    case 0xB0: f.cc(s, channel, d1, d2); break;
    case 0xC0: f.program_change(s, channel, d1); break;
    case 0xD0: f.channel_pressure(s, channel, d1); break;
    case 0xE0: f.pitch_bend(s, channel, d1 | (d2 << 7)); break;
    default: break;  // system messages have no meaning for the synthesizer here
  }
}

void FluidSynth::silence() { h_->f->all_sounds_off(h_->synth, -1); }

bool FluidSynth::render(int frames, std::int16_t* interleaved) {
  return h_->f->write_s16(h_->synth, frames, interleaved, 0, 2, interleaved, 1, 2) == FLUID_OK;
}

}  // namespace platform
