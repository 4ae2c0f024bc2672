#include "platform/midi_stream.h"

#include <utility>

#include "platform/common/midi_stream_choice.h"
#include "platform/qt/midi_fluid_stream.h"

namespace platform {

// On Linux the default output is the synthesizer on the sound server.
std::unique_ptr<MidiStream> open_midi_stream(MidiStream::Callback callback) {
  if (MidiStreamFactory factory = chosen_midi_stream_factory()) return factory(std::move(callback));
  return open_fluid_midi_stream(std::move(callback));
}

}  // namespace platform
