#include "platform/midi_fluid_synth.h"

#include "platform/qt/fluid_library.h"

namespace platform {

struct FluidSynth::Handles {
  const FluidLibrary* f = nullptr;
  fluid_settings_t* settings = nullptr;
  fluid_synth_t* synth = nullptr;
  fluid_audio_driver_t* driver = nullptr;
  fluid_sequencer_t* sequencer = nullptr;
  fluid_seq_id_t synth_id = -1;
  fluid_event_t* event = nullptr;
  std::uint32_t seen_tick = 0;  // the clock, unwrapped from the sequencer's 32-bit ticks
  std::uint64_t clock_ticks = 0;
  std::uint32_t last_tick = 0;  // of the message scheduled last
  bool scheduled = false;
};

namespace {

// A channel message taken apart: a note-on of velocity 0 is a note-off, and
// a pitch bend's two data bytes are one 14-bit value in `d1`. System
// messages have no meaning for the synthesizer here: kind `none`.
struct ChannelMessage {
  enum Kind { none, note_off, note_on, key_pressure, control, program, channel_pressure, pitch_bend } kind;
  int channel, d1, d2;
};

ChannelMessage read_message(std::uint32_t message) {
  const int status = message & 0xFF;
  const int channel = status & 0x0F;
  const int d1 = (message >> 8) & 0x7F;
  const int d2 = (message >> 16) & 0x7F;
  switch (status & 0xF0) {
    case 0x80: return {ChannelMessage::note_off, channel, d1, 0};
    case 0x90: return {d2 == 0 ? ChannelMessage::note_off : ChannelMessage::note_on, channel, d1, d2};
    case 0xA0: return {ChannelMessage::key_pressure, channel, d1, d2};
    case 0xB0: return {ChannelMessage::control, channel, d1, d2};
    case 0xC0: return {ChannelMessage::program, channel, d1, 0};
    case 0xD0: return {ChannelMessage::channel_pressure, channel, d1, 0};
    case 0xE0: return {ChannelMessage::pitch_bend, channel, d1 | (d2 << 7), 0};
    default: return {ChannelMessage::none, 0, 0, 0};
  }
}

// The sequencer counts in tenths of a millisecond, so that messages given
// for one time can each have a tick of their own: it plays ties in an order
// of its own (note-ons last), and a note-on followed by its note-off at the
// same time would hang. 32-bit ticks last 4.9 days.
constexpr double kTicksPerSecond = 10000;
constexpr std::uint64_t kMicrosecondsPerTick = 100;

}  // namespace

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
  // Driven by the synthesizer's sample count, not by the system's clock: a
  // note lands where it belongs in the sound, however late a thread wakes.
  fs->h_->sequencer = f->new_sequencer2(0);
  if (!fs->h_->sequencer) return nullptr;
  f->sequencer_set_time_scale(fs->h_->sequencer, kTicksPerSecond);
  fs->h_->synth_id = f->sequencer_register_fluidsynth(fs->h_->sequencer, fs->h_->synth);
  fs->h_->event = f->new_event();
  if (fs->h_->synth_id < 0 || !fs->h_->event) return nullptr;
  f->event_set_source(fs->h_->event, -1);
  f->event_set_dest(fs->h_->event, fs->h_->synth_id);
  return fs;
}

FluidSynth::~FluidSynth() {
  if (!h_) return;
  const FluidLibrary* f = h_->f;
  // The driver pulls samples from the synth on its own thread: it goes first.
  if (h_->driver) f->delete_audio_driver(h_->driver);
  if (h_->event) f->delete_event(h_->event);
  // Its tie to the synthesizer goes with it: before the synthesizer.
  if (h_->sequencer) f->delete_sequencer(h_->sequencer);
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
  const ChannelMessage m = read_message(message);
  fluid_synth_t* s = h_->synth;
  const FluidLibrary& f = *h_->f;
  switch (m.kind) {
    case ChannelMessage::note_off: f.noteoff(s, m.channel, m.d1); break;
    case ChannelMessage::note_on: f.noteon(s, m.channel, m.d1, m.d2); break;
    case ChannelMessage::key_pressure: f.key_pressure(s, m.channel, m.d1, m.d2); break;
    case ChannelMessage::control: f.cc(s, m.channel, m.d1, m.d2); break;
    case ChannelMessage::program: f.program_change(s, m.channel, m.d1); break;
    case ChannelMessage::channel_pressure: f.channel_pressure(s, m.channel, m.d1); break;
    case ChannelMessage::pitch_bend: f.pitch_bend(s, m.channel, m.d1); break;
    case ChannelMessage::none: break;
  }
}

void FluidSynth::silence() { h_->f->all_sounds_off(h_->synth, -1); }

std::uint64_t FluidSynth::clock_us() {
  const std::uint32_t tick = h_->f->sequencer_get_tick(h_->sequencer);
  h_->clock_ticks += static_cast<std::uint32_t>(tick - h_->seen_tick);
  h_->seen_tick = tick;
  return h_->clock_ticks * kMicrosecondsPerTick;
}

void FluidSynth::schedule(std::uint64_t at_us, std::uint32_t message) {
  const FluidLibrary& f = *h_->f;
  fluid_event_t* e = h_->event;
  const ChannelMessage m = read_message(message);
  const auto key = static_cast<short>(m.d1);
  switch (m.kind) {
    case ChannelMessage::note_off: f.event_noteoff(e, m.channel, key); break;
    case ChannelMessage::note_on: f.event_noteon(e, m.channel, key, static_cast<short>(m.d2)); break;
    case ChannelMessage::key_pressure: f.event_key_pressure(e, m.channel, key, m.d2); break;
    case ChannelMessage::control: f.event_control_change(e, m.channel, key, m.d2); break;
    case ChannelMessage::program: f.event_program_change(e, m.channel, m.d1); break;
    case ChannelMessage::channel_pressure: f.event_channel_pressure(e, m.channel, m.d1); break;
    case ChannelMessage::pitch_bend: f.event_pitch_bend(e, m.channel, m.d1); break;
    case ChannelMessage::none: return;
  }
  auto tick = static_cast<std::uint32_t>(at_us / kMicrosecondsPerTick);
  if (h_->scheduled && static_cast<std::int32_t>(tick - h_->last_tick) <= 0) tick = h_->last_tick + 1;
  f.sequencer_send_at(h_->sequencer, e, tick, 1);
  h_->last_tick = tick;
  h_->scheduled = true;
}

void FluidSynth::drop_scheduled() {
  h_->f->sequencer_remove_events(h_->sequencer, -1, -1, -1);
  h_->scheduled = false;  // what comes next need not follow what was dropped
}

bool FluidSynth::render(int frames, std::int16_t* interleaved) {
  return h_->f->write_s16(h_->synth, frames, interleaved, 0, 2, interleaved, 1, 2) == FLUID_OK;
}

}  // namespace platform
