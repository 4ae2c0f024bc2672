// Writes the About window's tune: a small piece in D major for lead,
// synth brass and bass, 32 bars at 120 quarter notes a minute. The notes are
// written out here; the tool turns them into a format-0 Standard MIDI File
// (data/about-tune.mid) and into the byte array the program carries
// (ui/about_tune.cpp).
//
//   bixiqin-compose-tune <repository folder>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kDivision = 480;
constexpr int kEighth = kDivision / 2;
constexpr int kBar = 4 * kDivision;
constexpr int kBars = 32;
constexpr std::uint32_t kEnd = kBars * kBar;  // 61440 ticks, 64 s
constexpr std::size_t kTrackTarget = 5858;    // bytes of the track chunk's data
constexpr int kLead = 0, kBrass = 1, kBass = 2;

struct Note {
  std::uint32_t start, end;
  int channel, key, velocity;
};

// ---------------------------------------------------------------- harmony

struct Chord {
  int root;  // pitch class, C = 0
  bool minor;
};

Chord chord(const std::string& name) {
  static const std::string letters = "C D EF G A B";
  int pc = static_cast<int>(letters.find(name[0]));
  std::size_t i = 1;
  if (i < name.size() && name[i] == '#') ++pc, ++i;
  return {pc % 12, i < name.size() && name[i] == 'm'};
}

// One or two chords a bar (two: each takes half the bar).
const std::vector<std::vector<std::string>> kProgression = {
    {"D"}, {"Bm"}, {"G"}, {"A"},                                   // intro
    {"D"}, {"Bm"}, {"G"}, {"A"}, {"D"}, {"Bm"}, {"G", "A"}, {"D"},  // A
    {"Em"}, {"A"}, {"F#m"}, {"Bm"}, {"G"}, {"D"}, {"Em"}, {"A"},    // B
    {"D"}, {"Bm"}, {"G"}, {"A"}, {"D"}, {"Bm"}, {"G", "A"}, {"D"},  // A again
    {"G"}, {"A"}, {"Bm", "A"}, {"D"},                               // close
};

std::vector<int> triad(Chord c) { return {c.root, (c.root + (c.minor ? 3 : 4)) % 12, (c.root + 7) % 12}; }

// Close position between G3 and F#4, so the pads move little from chord to chord.
std::vector<int> voicing(Chord c, bool with_octave) {
  std::vector<int> keys;
  for (int pc : triad(c)) keys.push_back(55 + (pc - 55 % 12 + 12) % 12);
  std::sort(keys.begin(), keys.end());
  if (with_octave) keys.push_back(keys.front() + 12);
  return keys;
}

int bass_root(Chord c) { return 36 + (c.root - 0 + 12) % 12 + (c.root < 2 ? 12 : 0); }

// ----------------------------------------------------------------- melody

// "F#4:2" is F sharp above middle C for two eighths; "R:2" rests.
const std::vector<std::string> kMelody = {
    // A
    "F#4:2 A4:1 D5:1 C#5:2 A4:2", "B4:3 A4:1 F#4:2 D4:2", "G4:1 A4:1 B4:2 D5:2 B4:1 G4:1",
    "A4:3 B4:1 C#5:2 D5:1 E5:1", "F#5:2 E5:1 D5:1 A4:2 F#4:2", "B4:1 C#5:1 D5:2 F#5:2 D5:2",
    "E5:2 D5:1 B4:1 C#5:2 A4:1 C#5:1", "D5:4 R:1 A4:1 B4:1 C#5:1",
    // B
    "G5:2 F#5:1 E5:1 B4:2 E5:2", "C#5:1 D5:1 E5:2 A4:2 C#5:2", "F#5:2 E5:1 C#5:1 A4:2 C#5:2",
    "D5:3 C#5:1 B4:3 C#5:1", "B4:1 D5:1 G5:2 F#5:1 E5:1 D5:2", "A4:1 D5:1 F#5:2 E5:1 D5:1 A4:2",
    "G4:1 B4:1 E5:2 D5:1 E5:1 G5:2", "A5:4 G5:1 F#5:1 E5:1 C#5:1",
    // A again, livelier
    "F#4:1 G4:1 A4:1 D5:1 C#5:1 D5:1 A4:2", "B4:2 A4:1 B4:1 F#4:2 D4:2",
    "G4:1 A4:1 B4:1 D5:1 G5:2 D5:2", "E5:1 F#5:1 E5:1 C#5:1 A4:2 E5:2",
    "F#5:2 E5:1 D5:1 A4:1 B4:1 A4:1 F#4:1", "B4:1 C#5:1 D5:1 F#5:1 B5:2 A5:2",
    "G5:1 F#5:1 E5:1 D5:1 C#5:1 E5:1 A5:2", "D5:2 A4:1 F#4:1 D5:3 C#5:1",
    // close
    "B4:3 A4:1 G4:2 B4:2", "C#5:3 B4:1 A4:2 E5:2", "D5:2 C#5:2 B4:2 C#5:2", "D5:8",
};
constexpr int kMelodyFirstBar = 4;

int key_of(const std::string& name) {
  static const int pcs[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  int pc = pcs[name[0] - 'A'];
  std::size_t i = 1;
  if (name[i] == '#') ++pc, ++i;
  else if (name[i] == 'b') --pc, ++i;
  return 12 * (std::stoi(name.substr(i)) + 1) + pc;
}

// The D major scale step below `key`, a third under it in the key.
int third_below(int key) {
  static const int scale[] = {1, 2, 4, 6, 7, 9, 11};  // C# D E F# G A B
  auto in_scale = [](int k) { return std::find(std::begin(scale), std::end(scale), k % 12) != std::end(scale); };
  int k = key - 1, steps = 0;
  while (steps < 2) {
    if (in_scale(k)) ++steps;
    if (steps < 2) --k;
  }
  return k;
}

// ------------------------------------------------------------- arrangement

void add(std::vector<Note>& notes, std::uint32_t at, std::uint32_t length, int channel, int key, int velocity) {
  notes.push_back({at, at + length, channel, key, velocity});
}

std::vector<Note> compose() {
  std::vector<Note> notes;

  for (int bar = 0; bar < kBars; ++bar) {
    const std::uint32_t b = bar * kBar;
    const auto& names = kProgression[bar];
    const bool intro = bar < 4, a = (bar >= 4 && bar < 12), bsec = (bar >= 12 && bar < 20),
               again = (bar >= 20 && bar < 28), close = bar >= 28;
    const std::uint32_t span = kBar / names.size();

    for (std::size_t half = 0; half < names.size(); ++half) {
      const Chord c = chord(names[half]);
      const std::uint32_t at = b + half * span;

      // Brass: held chords, comping in the middle part, an arpeggio that
      // opens the piece and drives its return.
      if (intro && bar < 2) {
        for (int k : voicing(c, true)) add(notes, at, span, kBrass, k, 58);
      } else if (intro || again) {
        const std::vector<int> v = voicing(c, false);
        const int pattern[] = {0, 1, 2, 3, 4, 3, 2, 1};
        for (std::uint32_t i = 0; i < span / kEighth; ++i) {
          const int step = pattern[i % 8];
          const int key = v[step % 3] + 12 * (step / 3) + 12;
          add(notes, at + i * kEighth, kEighth, kBrass, key, i % 2 ? 50 : 60);
        }
        if (again) for (int k : voicing(c, false)) add(notes, at, span, kBrass, k, 46);
      } else if (a) {
        for (std::uint32_t t = 0; t < span; t += 2 * kEighth * 2)
          for (int k : voicing(c, true)) add(notes, at + t, 4 * kEighth, kBrass, k, 56);
      } else if (bsec) {
        const std::uint32_t hits[][2] = {{0, 3}, {3, 3}, {6, 2}};
        for (auto& h : hits)
          for (int k : voicing(c, true)) add(notes, at + h[0] * kEighth, h[1] * kEighth, kBrass, k, 60);
      } else if (close) {
        for (int k : voicing(c, true)) add(notes, at, span, kBrass, k, 54);
      }

      // Bass from the third bar: half notes, then eighths, a long last note.
      const int r = bass_root(c);
      if (intro && bar >= 2) {
        add(notes, at, span / 2, kBass, r, 90);
        add(notes, at + span / 2, span / 2, kBass, r + 7, 84);
      } else if (a || bsec || again || (close && bar < kBars - 1)) {
        const int line_a[] = {0, 0, 7, 0, 12, 0, 7, 0};
        const int line_b[] = {0, 0, 12, 0, 7, 0, 12, 7};
        for (std::uint32_t i = 0; i < span / kEighth; ++i) {
          const int step = bsec ? line_b[i] : line_a[i];
          add(notes, at + i * kEighth, kEighth - 40, kBass, r + step, i % 2 ? 78 : 94);
        }
      } else if (close) {
        add(notes, at, span, kBass, r, 96);
      }
    }
  }

  for (std::size_t i = 0; i < kMelody.size(); ++i) {
    const int bar = kMelodyFirstBar + static_cast<int>(i);
    std::uint32_t at = bar * kBar;
    std::istringstream words(kMelody[i]);
    std::string word;
    while (words >> word) {
      const std::string name = word.substr(0, word.find(':'));
      const std::uint32_t length = std::stoi(word.substr(word.find(':') + 1)) * kEighth;
      if (name != "R") {
        const int key = key_of(name);
        const int velocity = at % kBar == 0 ? 104 : (at % kDivision == 0 ? 96 : 88);
        add(notes, at, length, kLead, key, velocity);
        // The return and the close sing in thirds; the last note gets its fifth.
        if (bar >= 20 && bar < kBars - 1) add(notes, at, length, kLead, third_below(key), velocity - 24);
        if (bar == kBars - 1) add(notes, at, length, kLead, key - 5, velocity - 24);
      }
      at += length;
    }
  }
  return notes;
}

// ------------------------------------------------------------------- file

struct Event {
  std::uint32_t tick;
  int order;  // ends before program changes before starts at the same tick
  int channel;
  std::vector<unsigned char> bytes;  // status first
};

void put_number(std::vector<unsigned char>& out, std::uint32_t v) {
  unsigned char tmp[4];
  int n = 0;
  do tmp[n++] = v & 0x7F, v >>= 7;
  while (v);
  while (n--) out.push_back(tmp[n] | (n ? 0x80 : 0));
}

std::vector<Event> events_of(const std::vector<Note>& notes) {
  std::vector<Event> ev;
  ev.push_back({0, 1, kBrass, {0xC0 | kBrass, 63}});
  ev.push_back({16, 1, kLead, {0xC0 | kLead, 83}});
  ev.push_back({16, 1, kBass, {0xC0 | kBass, 32}});
  for (const Note& n : notes) {
    const auto status = static_cast<unsigned char>(0x90 | n.channel);
    ev.push_back({n.start, 2, n.channel, {status, static_cast<unsigned char>(n.key), static_cast<unsigned char>(n.velocity)}});
    ev.push_back({n.end, 0, n.channel, {status, static_cast<unsigned char>(n.key), 0}});
  }
  // Within a tick, notes end before notes begin; within that, the channels
  // stay together so that running status can carry them.
  std::stable_sort(ev.begin(), ev.end(), [](const Event& x, const Event& y) {
    if (x.tick != y.tick) return x.tick < y.tick;
    if ((x.order == 2) != (y.order == 2)) return x.order < y.order;
    return x.channel < y.channel;
  });
  return ev;
}

// `explicit_status` of the events that could use running status write their
// status byte anyway: that is how the track is brought to its set size.
// They are spread evenly over the piece.
std::vector<unsigned char> track_of(const std::vector<Event>& ev, std::size_t explicit_status) {
  std::size_t candidates = 0;
  unsigned char running = 0;
  for (const Event& e : ev) candidates += e.bytes[0] == running, running = e.bytes[0];
  explicit_status = std::min(explicit_status, candidates);

  std::vector<unsigned char> out;
  std::uint32_t last = 0;
  running = 0;
  std::size_t could_run = 0;
  for (const Event& e : ev) {
    put_number(out, e.tick - last);
    last = e.tick;
    bool write_status = e.bytes[0] != running;
    if (!write_status) {
      write_status = (could_run + 1) * explicit_status / candidates != could_run * explicit_status / candidates;
      ++could_run;
    }
    out.insert(out.end(), e.bytes.begin() + (write_status ? 0 : 1), e.bytes.end());
    running = e.bytes[0];
  }
  put_number(out, kEnd - last);
  out.insert(out.end(), {0xFF, 0x2F, 0x00});
  return out;
}

std::vector<unsigned char> file_of(const std::vector<unsigned char>& track) {
  std::vector<unsigned char> f = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, kDivision >> 8, kDivision & 0xFF,
                                  'M', 'T', 'r', 'k'};
  for (int s = 24; s >= 0; s -= 8) f.push_back(static_cast<unsigned char>(track.size() >> s));
  f.insert(f.end(), track.begin(), track.end());
  return f;
}

std::string source_of(const std::vector<unsigned char>& file) {
  std::ostringstream s;
  s << "// Generated by tools/compose_tune.cpp (bixiqin-compose-tune); do not edit.\n"
       "// The About window's tune as a Standard MIDI File: format 0, division 480,\n"
       "// three channels, 64 seconds.\n"
       "#include \"ui/about_tune.h\"\n\n"
       "namespace ui {\n\nnamespace {\n\nconstexpr unsigned char kTune["
    << file.size() << "] = {";
  for (std::size_t i = 0; i < file.size(); ++i) {
    if (i % 16 == 0) s << "\n   ";
    char hex[8];
    std::snprintf(hex, sizeof hex, " 0x%02x,", file[i]);
    s << hex;
  }
  s << "\n};\n\n}  // namespace\n\nstd::span<const unsigned char> about_tune() { return kTune; }\n\n}  // namespace ui\n";
  return s.str();
}

bool write(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  return static_cast<bool>(out.flush());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: bixiqin-compose-tune <repository folder>\n";
    return 2;
  }
  const std::string root = argv[1];
  const std::vector<Note> notes = compose();
  const std::vector<Event> ev = events_of(notes);

  std::vector<unsigned char> track = track_of(ev, 0);
  const std::size_t shortest = track.size();
  if (shortest < kTrackTarget) track = track_of(ev, kTrackTarget - shortest);

  const std::vector<unsigned char> file = file_of(track);
  std::cout << notes.size() << " notes, track " << track.size() << " bytes (" << shortest
            << " at the shortest), file " << file.size() << " bytes\n";
  if (!write(root + "/data/about-tune.mid", std::string(file.begin(), file.end())) ||
      !write(root + "/ui/about_tune.cpp", source_of(file))) {
    std::cerr << "bixiqin-compose-tune: cannot write into " << root << "\n";
    return 1;
  }
  return 0;
}
