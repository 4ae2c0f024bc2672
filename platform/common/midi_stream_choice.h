#pragma once
// The output that set_midi_stream_factory chose, for each side's
// open_midi_stream to try before its own system's.
#include "platform/midi_stream.h"

namespace platform {

// Empty while none is set.
MidiStreamFactory chosen_midi_stream_factory();

}  // namespace platform
