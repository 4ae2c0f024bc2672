// Silent stretches in a recording of the tune that its offline render does
// not have: the gaps that an audio output starved of samples leaves.
//
//   bixiqin-bench-gaps RECORDING.wav RENDER.wav
//
// Both 16-bit PCM. Each 10 ms is silent when no sample of it reaches
// -60 dBFS; a stretch of silence of 100 ms or more between the first and
// the last sound counts. A recorded stretch is in the tune itself when the
// render, aligned at the first sound, is silent there too.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr double kWindowSeconds = 0.010;
constexpr double kMinGapSeconds = 0.100;
constexpr int kSilentBelow = 33;  // -60 dBFS of 32768

struct Sound {
  double window = kWindowSeconds;
  std::vector<bool> silent;  // per window
};

std::uint32_t le(const unsigned char* p, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | p[i];
  return v;
}

bool read_wav(const char* path, Sound& out) {
  std::ifstream in(path, std::ios::binary);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) || std::memcmp(bytes.data() + 8, "WAVE", 4)) return false;
  int channels = 0, bits = 0;
  std::uint32_t rate = 0;
  std::size_t at = 12;
  while (at + 8 <= bytes.size()) {
    const std::uint32_t size = le(&bytes[at + 4], 4);
    const unsigned char* body = &bytes[at + 8];
    if (!std::memcmp(&bytes[at], "fmt ", 4) && size >= 16) {
      channels = static_cast<int>(le(body + 2, 2));
      rate = le(body + 4, 4);
      bits = static_cast<int>(le(body + 14, 2));
    } else if (!std::memcmp(&bytes[at], "data", 4)) {
      if (bits != 16 || channels < 1 || rate == 0) return false;
      // A recorder stopped by a signal may leave the size unset.
      const std::size_t avail = bytes.size() - at - 8;
      const std::size_t len = (size == 0 || size > avail) ? avail : size;
      const std::size_t frames = len / (2 * channels);
      const std::size_t per_window = static_cast<std::size_t>(rate * kWindowSeconds);
      for (std::size_t f0 = 0; f0 + per_window <= frames; f0 += per_window) {
        int peak = 0;
        for (std::size_t i = f0 * channels; i < (f0 + per_window) * channels; ++i) {
          peak = std::max(peak, std::abs(static_cast<int>(static_cast<std::int16_t>(le(body + 2 * i, 2)))));
        }
        out.silent.push_back(peak < kSilentBelow);
      }
      return true;
    }
    at += 8 + size + (size & 1);
  }
  return false;
}

struct Stretch {
  double from, to;  // seconds after the first sound
};

// Silent stretches of kMinGapSeconds or more between the first and last sound;
// `length` gets the time from the first sound to the last.
std::vector<Stretch> stretches(const Sound& s, double& length) {
  std::vector<Stretch> out;
  const auto first = std::find(s.silent.begin(), s.silent.end(), false) - s.silent.begin();
  const auto last = s.silent.rend() - std::find(s.silent.rbegin(), s.silent.rend(), false) - 1;
  length = (last - first + 1) * s.window;
  const auto min_windows = static_cast<long>(kMinGapSeconds / s.window + 0.5);
  long run = 0;
  for (long i = first; i <= last; ++i) {
    if (s.silent[i]) {
      ++run;
      continue;
    }
    if (run >= min_windows) out.push_back({(i - run - first) * s.window, (i - first) * s.window});
    run = 0;
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: bixiqin-bench-gaps RECORDING.wav RENDER.wav\n");
    return 2;
  }
  Sound recording, render;
  if (!read_wav(argv[1], recording) || !read_wav(argv[2], render)) {
    std::fprintf(stderr, "bixiqin-bench-gaps: not a 16-bit PCM WAV file\n");
    return 1;
  }
  if (std::find(recording.silent.begin(), recording.silent.end(), false) == recording.silent.end()) {
    std::printf("recording: silent throughout\n");
    return 1;
  }
  double rec_length = 0, render_length = 0;
  const auto in_render = stretches(render, render_length);
  const auto in_recording = stretches(recording, rec_length);
  int gaps = 0;
  double gap_seconds = 0, longest = 0;
  for (const Stretch& r : in_recording) {
    const bool in_tune = std::any_of(in_render.begin(), in_render.end(),
                                     [&](const Stretch& t) { return t.from < r.to && r.from < t.to; });
    if (in_tune) continue;
    ++gaps;
    gap_seconds += r.to - r.from;
    longest = std::max(longest, r.to - r.from);
    std::printf("  gap at %6.2f s: %.2f s\n", r.from, r.to - r.from);
  }
  std::printf("render:    %.2f s of sound, %zu silent stretches of %.0f ms or more\n", render_length,
              in_render.size(), kMinGapSeconds * 1000);
  std::printf("recording: %.2f s of sound, %zu silent stretches, %d not in the render: %.2f s in all, longest %.2f s\n",
              rec_length, in_recording.size(), gaps, gap_seconds, longest);
  return gaps == 0 ? 0 : 3;
}
