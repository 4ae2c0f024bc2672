#include "platform/midi_fluid_synth.h"

#include <dlfcn.h>
#include <fluidsynth.h>

#include <mutex>

namespace platform {

struct FluidSynth::Handles {
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  fluid_audio_driver_t* driver = nullptr;
};

namespace {

// The sound library under FluidSynth's ALSA driver prints its own failures
// (no sound card) to stderr; it is reached through FluidSynth's own
// dependency, when there is one, so nothing more needs linking.
using AlsaErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
void alsa_says_nothing(const char*, int, const char*, int, const char*, ...) {}

void quiet_alsa() {
  using SetHandler = int (*)(AlsaErrorHandler);
  if (void* set = dlsym(RTLD_DEFAULT, "snd_lib_error_set_handler")) {
    reinterpret_cast<SetHandler>(set)(alsa_says_nothing);
  }
}

}  // namespace

void quiet_fluid_log() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level) {
      fluid_set_log_function(level, nullptr, nullptr);
    }
    quiet_alsa();
  });
}

std::unique_ptr<FluidSynth> FluidSynth::create(double sample_rate) {
  quiet_fluid_log();
  if (!fluid_is_soundfont(kSoundFontPath)) return nullptr;
  std::unique_ptr<FluidSynth> fs(new FluidSynth);
  fs->h_ = std::make_unique<Handles>();
  fs->h_->settings = new_fluid_settings();
  if (!fs->h_->settings) return nullptr;
  fluid_settings_setnum(fs->h_->settings, "synth.sample-rate", sample_rate);
  fluid_settings_setint(fs->h_->settings, "synth.reverb.active", 1);
  fluid_settings_setnum(fs->h_->settings, "synth.gain", 0.5);
  fs->h_->synth = new_fluid_synth(fs->h_->settings);
  if (!fs->h_->synth) return nullptr;
  if (fluid_synth_sfload(fs->h_->synth, kSoundFontPath, 1) == FLUID_FAILED) return nullptr;
  return fs;
}

FluidSynth::~FluidSynth() {
  if (!h_) return;
  // The driver pulls samples from the synth on its own thread: it goes first.
  if (h_->driver) delete_fluid_audio_driver(h_->driver);
  if (h_->synth) delete_fluid_synth(h_->synth);
  if (h_->settings) delete_fluid_settings(h_->settings);
}

bool FluidSynth::start_audio() {
  if (!h_->driver) h_->driver = new_fluid_audio_driver(h_->settings, h_->synth);
  return h_->driver != nullptr;
}

void FluidSynth::send_short_message(std::uint32_t message) {
  const int status = message & 0xFF;
  const int channel = status & 0x0F;
  const int d1 = (message >> 8) & 0x7F;
  const int d2 = (message >> 16) & 0x7F;
  fluid_synth_t* s = h_->synth;
  switch (status & 0xF0) {
    case 0x80: fluid_synth_noteoff(s, channel, d1); break;
    case 0x90:
      if (d2 == 0) fluid_synth_noteoff(s, channel, d1);
      else fluid_synth_noteon(s, channel, d1, d2);
      break;
    case 0xA0: fluid_synth_key_pressure(s, channel, d1, d2); break;
    case 0xB0: fluid_synth_cc(s, channel, d1, d2); break;
    case 0xC0: fluid_synth_program_change(s, channel, d1); break;
    case 0xD0: fluid_synth_channel_pressure(s, channel, d1); break;
    case 0xE0: fluid_synth_pitch_bend(s, channel, d1 | (d2 << 7)); break;
    default: break;  // system messages have no meaning for the synthesizer here
  }
}

void FluidSynth::silence() { fluid_synth_all_sounds_off(h_->synth, -1); }

bool FluidSynth::render(int frames, std::int16_t* interleaved) {
  return fluid_synth_write_s16(h_->synth, frames, interleaved, 0, 2, interleaved, 1, 2) == FLUID_OK;
}

}  // namespace platform
