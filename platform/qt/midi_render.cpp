#include "platform/midi_render.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>

#include "platform/midi_fluid_synth.h"

namespace platform {

namespace {

constexpr int kRate = 44100;

void put(std::ofstream& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>(v >> (8 * i)));
}

void write_header(std::ofstream& out, std::uint32_t frames) {
  const std::uint32_t data = frames * 4;
  out.write("RIFF", 4);
  put(out, 36 + data, 4);
  out.write("WAVEfmt ", 8);
  put(out, 16, 4);
  put(out, 1, 2);  // PCM
  put(out, 2, 2);
  put(out, kRate, 4);
  put(out, kRate * 4, 4);
  put(out, 4, 2);
  put(out, 16, 2);
  out.write("data", 4);
  put(out, data, 4);
}

}  // namespace

std::optional<RenderedLevel> render_midi_wav(const std::vector<RecordedMessage>& messages, double seconds,
                                             const std::string& wav_path) {
  auto synth = FluidSynth::create(kRate);
  if (!synth) return std::nullopt;
  std::ofstream out(wav_path, std::ios::binary | std::ios::trunc);
  if (!out) return std::nullopt;

  const auto total = static_cast<std::uint32_t>(seconds * kRate);
  write_header(out, total);
  std::vector<std::int16_t> block;
  double sum_squares = 0;
  int peak = 0;
  std::uint32_t done = 0;
  std::size_t next = 0;
  while (done < total) {
    // Apply what is due at this frame, then render up to the next message.
    while (next < messages.size() && messages[next].time_us * kRate / 1000000 <= done) {
      synth->send_short_message(messages[next++].message);
    }
    std::uint32_t until = total;
    if (next < messages.size()) {
      until = std::min<std::uint32_t>(total, static_cast<std::uint32_t>(messages[next].time_us * kRate / 1000000));
    }
    const std::uint32_t frames = std::min<std::uint32_t>(until - done, 4096);
    if (frames == 0) continue;
    block.assign(std::size_t(frames) * 2, 0);
    if (!synth->render(static_cast<int>(frames), block.data())) return std::nullopt;
    for (std::int16_t s : block) {
      sum_squares += double(s) * s;
      peak = std::max(peak, std::abs(int(s)));
    }
    out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size() * 2));
    done += frames;
  }
  if (!out.flush()) return std::nullopt;
  RenderedLevel level;
  level.seconds = double(total) / kRate;
  level.rms = total ? std::sqrt(sum_squares / (2.0 * total)) / 32768.0 : 0;
  level.peak = peak / 32768.0;
  return level;
}

}  // namespace platform
