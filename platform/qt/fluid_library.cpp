#include "platform/qt/fluid_library.h"

#include <dlfcn.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace platform {

namespace {

// The runtime name of the 2.2 to 2.4 series, which the headers belong to.
static_assert(FLUIDSYNTH_VERSION_MAJOR == 2 && FLUIDSYNTH_VERSION_MINOR >= 2,
              "the library is opened by the runtime name of FluidSynth 2.2 and later");
constexpr const char* kInstalledName = "libfluidsynth.so.3";

// The sound library under the ALSA driver prints its own failures (no
// sound card) to stderr; it comes with the synthesizer, when it does at all.
using AlsaErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
void alsa_says_nothing(const char*, int, const char*, int, const char*, ...) {}

template <typename F>
bool find(void* handle, const char* symbol, F& slot) {
  slot = reinterpret_cast<F>(dlsym(handle, symbol));
  return slot != nullptr;
}

std::unique_ptr<FluidLibrary> open_library(const std::string& name) {
  // Local: the program itself never refers to the library's names.
  void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) return nullptr;
  auto lib = std::make_unique<FluidLibrary>();
  const bool complete =
      find(handle, "fluid_set_log_function", lib->set_log_function) &&
      find(handle, "fluid_is_soundfont", lib->is_soundfont) &&
      find(handle, "new_fluid_settings", lib->new_settings) &&
      find(handle, "delete_fluid_settings", lib->delete_settings) &&
      find(handle, "fluid_settings_setnum", lib->settings_setnum) &&
      find(handle, "fluid_settings_setint", lib->settings_setint) &&
      find(handle, "fluid_settings_setstr", lib->settings_setstr) &&
      find(handle, "new_fluid_synth", lib->new_synth) &&
      find(handle, "delete_fluid_synth", lib->delete_synth) &&
      find(handle, "fluid_synth_sfload", lib->synth_sfload) &&
      find(handle, "new_fluid_audio_driver", lib->new_audio_driver) &&
      find(handle, "delete_fluid_audio_driver", lib->delete_audio_driver) &&
      find(handle, "fluid_synth_noteon", lib->noteon) &&
      find(handle, "fluid_synth_noteoff", lib->noteoff) &&
      find(handle, "fluid_synth_key_pressure", lib->key_pressure) &&
      find(handle, "fluid_synth_cc", lib->cc) &&
      find(handle, "fluid_synth_program_change", lib->program_change) &&
      find(handle, "fluid_synth_channel_pressure", lib->channel_pressure) &&
      find(handle, "fluid_synth_pitch_bend", lib->pitch_bend) &&
      find(handle, "fluid_synth_all_sounds_off", lib->all_sounds_off) &&
      find(handle, "fluid_synth_write_s16", lib->write_s16) &&
      find(handle, "new_fluid_sequencer2", lib->new_sequencer2) &&
      find(handle, "delete_fluid_sequencer", lib->delete_sequencer) &&
      find(handle, "fluid_sequencer_register_fluidsynth", lib->sequencer_register_fluidsynth) &&
      find(handle, "fluid_sequencer_set_time_scale", lib->sequencer_set_time_scale) &&
      find(handle, "fluid_sequencer_get_tick", lib->sequencer_get_tick) &&
      find(handle, "fluid_sequencer_send_at", lib->sequencer_send_at) &&
      find(handle, "fluid_sequencer_remove_events", lib->sequencer_remove_events) &&
      find(handle, "new_fluid_event", lib->new_event) &&
      find(handle, "delete_fluid_event", lib->delete_event) &&
      find(handle, "fluid_event_set_source", lib->event_set_source) &&
      find(handle, "fluid_event_set_dest", lib->event_set_dest) &&
      find(handle, "fluid_event_noteon", lib->event_noteon) &&
      find(handle, "fluid_event_noteoff", lib->event_noteoff) &&
      find(handle, "fluid_event_key_pressure", lib->event_key_pressure) &&
      find(handle, "fluid_event_control_change", lib->event_control_change) &&
      find(handle, "fluid_event_program_change", lib->event_program_change) &&
      find(handle, "fluid_event_channel_pressure", lib->event_channel_pressure) &&
      find(handle, "fluid_event_pitch_bend", lib->event_pitch_bend);
  if (!complete) {
    dlclose(handle);
    return nullptr;
  }
  for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level) lib->set_log_function(level, nullptr, nullptr);
  // Searched in the library's own dependencies: it was opened locally.
  using SetHandler = int (*)(AlsaErrorHandler);
  if (void* set = dlsym(handle, "snd_lib_error_set_handler")) {
    reinterpret_cast<SetHandler>(set)(alsa_says_nothing);
  }
  // Never closed: synthesizers, drivers and their threads may outlive any owner.
  return lib;
}

struct Libraries {
  std::mutex m;
  std::string name = kInstalledName;
  // One try per name, a failure included: opening About again asks nothing.
  std::map<std::string, std::unique_ptr<FluidLibrary>> opened;
};

Libraries& libraries() {
  static Libraries libs;
  return libs;
}

}  // namespace

const FluidLibrary* fluid_library() {
  Libraries& libs = libraries();
  std::lock_guard lock(libs.m);
  auto it = libs.opened.find(libs.name);
  if (it == libs.opened.end()) it = libs.opened.emplace(libs.name, open_library(libs.name)).first;
  return it->second.get();
}

void set_fluid_library_name(const char* name) {
  Libraries& libs = libraries();
  std::lock_guard lock(libs.m);
  libs.name = name ? name : kInstalledName;
}

}  // namespace platform
