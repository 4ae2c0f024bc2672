#pragma once
// The synthesizer library, opened the first time a synthesizer is wanted.
// The program does not link it: a window that never plays music never maps
// it, nor the audio stack that comes with it. Its header still gives the
// types and the prototypes the table is made of.
#include <fluidsynth.h>

namespace platform {

struct FluidLibrary {
  decltype(&::fluid_set_log_function) set_log_function;
  decltype(&::fluid_is_soundfont) is_soundfont;
  decltype(&::new_fluid_settings) new_settings;
  decltype(&::delete_fluid_settings) delete_settings;
  decltype(&::fluid_settings_setnum) settings_setnum;
  decltype(&::fluid_settings_setint) settings_setint;
  decltype(&::fluid_settings_setstr) settings_setstr;
  decltype(&::new_fluid_synth) new_synth;
  decltype(&::delete_fluid_synth) delete_synth;
  decltype(&::fluid_synth_sfload) synth_sfload;
  decltype(&::new_fluid_audio_driver) new_audio_driver;
  decltype(&::delete_fluid_audio_driver) delete_audio_driver;
  decltype(&::fluid_synth_noteon) noteon;
  decltype(&::fluid_synth_noteoff) noteoff;
  decltype(&::fluid_synth_key_pressure) key_pressure;
  decltype(&::fluid_synth_cc) cc;
  decltype(&::fluid_synth_program_change) program_change;
  decltype(&::fluid_synth_channel_pressure) channel_pressure;
  decltype(&::fluid_synth_pitch_bend) pitch_bend;
  decltype(&::fluid_synth_all_sounds_off) all_sounds_off;
  decltype(&::fluid_synth_write_s16) write_s16;
  decltype(&::new_fluid_sequencer2) new_sequencer2;
  decltype(&::delete_fluid_sequencer) delete_sequencer;
  decltype(&::fluid_sequencer_register_fluidsynth) sequencer_register_fluidsynth;
  decltype(&::fluid_sequencer_set_time_scale) sequencer_set_time_scale;
  decltype(&::fluid_sequencer_get_tick) sequencer_get_tick;
  decltype(&::fluid_sequencer_send_at) sequencer_send_at;
  decltype(&::fluid_sequencer_remove_events) sequencer_remove_events;
  decltype(&::new_fluid_event) new_event;
  decltype(&::delete_fluid_event) delete_event;
  decltype(&::fluid_event_set_source) event_set_source;
  decltype(&::fluid_event_set_dest) event_set_dest;
  decltype(&::fluid_event_noteon) event_noteon;
  decltype(&::fluid_event_noteoff) event_noteoff;
  decltype(&::fluid_event_key_pressure) event_key_pressure;
  decltype(&::fluid_event_control_change) event_control_change;
  decltype(&::fluid_event_program_change) event_program_change;
  decltype(&::fluid_event_channel_pressure) event_channel_pressure;
  decltype(&::fluid_event_pitch_bend) event_pitch_bend;
};

// The library's functions, opened on the first call from any thread;
// nullptr when the library or any of its functions is missing, and then
// the program stays silent. The library's log goes nowhere: the program's
// MIDI errors are silent.
const FluidLibrary* fluid_library();

// The file name that later calls open instead of the installed library;
// nullptr brings the installed one back. For tests: a table already handed
// out stays valid.
void set_fluid_library_name(const char* name);

}  // namespace platform
