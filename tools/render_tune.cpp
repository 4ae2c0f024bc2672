// Renders the About window's tune to a WAV file the way the program plays
// it: the player feeds a stream on a virtual clock, and the messages that
// stream played go through the synthesizer offline.
//
//   bixiqin-render-tune <output.wav>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "platform/midi_render.h"
#include "platform/midi_stream.h"
#include "platform/midi_virtual_stream.h"
#include "ui/about_tune.h"
#include "ui/midi_player.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: bixiqin-render-tune <output.wav>\n");
    return 2;
  }
  platform::VirtualMidiDevice device;
  platform::set_midi_stream_factory(device.factory());
  {
    ui::MidiPlayer player;
    player.start(ui::about_tune(), 1);
    device.advance_to(70'000'000);
    device.wait_all_closed(std::chrono::seconds(10));
  }
  platform::set_midi_stream_factory(nullptr);

  // The output's closing silence comes whenever the clock was last moved:
  // the tune ends with its last note, and one second of release follows.
  const auto messages = device.messages();
  double last = 0;
  for (const auto& m : messages) {
    if ((m.message & 0xF0) == 0x90) last = std::max(last, m.time_us / 1e6);
  }
  const auto level = platform::render_midi_wav(messages, last + 1.0, argv[1]);
  if (!level) {
    std::fprintf(stderr, "bixiqin-render-tune: no soundfont, or %s cannot be written\n", argv[1]);
    return 1;
  }
  std::printf("%s: %.2f s, %zu messages, RMS %.4f (%.1f dBFS), peak %.4f\n", argv[1], level->seconds,
              messages.size(), level->rms, 20 * std::log10(level->rms > 0 ? level->rms : 1e-12), level->peak);
  return 0;
}
