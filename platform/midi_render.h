#pragma once
// Renders timed short messages through the same synthesizer and soundfont
// as the live output into a 16-bit stereo WAV file, faster than real time
// and without an audio device.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/midi_virtual_stream.h"

namespace platform {

struct RenderedLevel {
  double seconds = 0;  // length of the file
  double rms = 0;      // of all samples, 1.0 = full scale
  double peak = 0;
};

// `messages` in time order; renders up to `seconds`. Nothing without the soundfont
// or when the file cannot be written.
std::optional<RenderedLevel> render_midi_wav(const std::vector<RecordedMessage>& messages, double seconds,
                                             const std::string& wav_path);

}  // namespace platform
