#pragma once
#include <memory>

#include "platform/midi_stream.h"

namespace platform {

// The real output: a FluidSynth synthesizer behind the audio driver, fed by
// the stream's own thread. nullptr without the soundfont or an audio device.
std::unique_ptr<MidiStream> open_fluid_midi_stream(MidiStream::Callback callback);

}  // namespace platform
