// Filling chunks of stream events: merging, running status, what is kept,
// the chunk limits and the span rule, carrying over, and starting over.
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>

#include "music_support.h"
#include "platform/midi_stream.h"
#include "ui/about_tune.h"
#include "ui/midi_chunk.h"
#include "ui/midi_file.h"

using namespace music_test;
using platform::MidiChunk;
using platform::StreamEvent;
using ui::midi::ChunkFiller;
using ui::midi::FillResult;

namespace {

ui::midi::Song song_of(const Bytes& file) {
  auto song = ui::midi::read_song(file);
  EXPECT_TRUE(song);
  return song ? *song : ui::midi::Song{};
}

// A filler with the file it reads from (the song points into the bytes).
struct Loaded {
  explicit Loaded(Bytes bytes) : file(std::move(bytes)), filler(song_of(file)) {}
  Loaded(const Loaded&) = delete;
  Bytes file;
  ChunkFiller filler;
};

// All events until the end (without repeat), chunk by chunk.
std::vector<std::vector<StreamEvent>> all_chunks(ChunkFiller& f, bool repeat = false, int limit = 100000) {
  std::vector<std::vector<StreamEvent>> out;
  MidiChunk c;
  bool first = true;
  while (limit-- > 0 && f.fill(c, first, repeat) == FillResult::filled) {
    first = false;
    out.push_back(events_of(c));
  }
  return out;
}

std::vector<StreamEvent> flat(const std::vector<std::vector<StreamEvent>>& chunks) {
  std::vector<StreamEvent> out;
  for (auto& c : chunks) out.insert(out.end(), c.begin(), c.end());
  return out;
}

TEST(MidiChunk, KeepsChannelMessagesWithRunningStatusAndDropsTheRest) {
  const Bytes track = cat({
      {0x00, 0x90, 60, 100},                    // note on
      {0x10, 62, 90},                           // running status
      {0x00, 0xF0, 0x03, 0x43, 0x12, 0xF7},     // system exclusive: dropped
      {0x00, 0xFF, 0x01, 0x02, 'h', 'i'},       // text: dropped
      {0x00, 0xC1, 5},                          // program change: one data byte
      {0x08, 6},                                // running program change
      {0x00, 0xD2, 0x40},                       // channel pressure: one data byte
      {0x00, 0xB3, 7, 99},                      // volume: flagged for a callback
      {0x00, 0xE0, 0x00, 0x40},                 // pitch bend
      end_of_track(),
  });
  Loaded f_(smf(0, 480, {track}));
  ChunkFiller& f = f_.filler;
  const auto ev = flat(all_chunks(f));
  const std::vector<std::pair<std::uint32_t, std::uint32_t>> expected = {
      {0, short_msg(0x90, 60, 100)}, {16, short_msg(0x90, 62, 90)}, {0, short_msg(0xC1, 5)},
      {8, short_msg(0xC1, 6)},       {0, short_msg(0xD2, 0x40)},    {0, short_msg(0xB3, 7, 99) | platform::kEventCallbackFlag},
      {0, short_msg(0xE0, 0, 0x40)},
  };
  ASSERT_EQ(ev.size(), expected.size());
  for (std::size_t i = 0; i < ev.size(); ++i) {
    EXPECT_EQ(ev[i].delta, expected[i].first) << i;
    EXPECT_EQ(ev[i].stream_id, 0u);
    EXPECT_EQ(ev[i].event, expected[i].second) << i;
  }
}

TEST(MidiChunk, TempoEventsBecomeTempoStreamEventsScaledBySpeed) {
  const Bytes file = smf(0, 480, {cat({tempo_event(600000), {0x00, 0x90, 60, 100}, end_of_track()})});
  Loaded f_(file);
  ChunkFiller& f = f_.filler;
  auto ev = flat(all_chunks(f));
  ASSERT_EQ(ev.size(), 2u);
  EXPECT_EQ(ev[0].event, (platform::kEventTempo << 24) | 600000u);
  EXPECT_EQ(f.tempo(), 600000u);

  Loaded fast_(file);
  ChunkFiller& fast = fast_.filler;
  fast.set_speed_percent(200);
  ev = flat(all_chunks(fast));
  EXPECT_EQ(ev[0].event, (platform::kEventTempo << 24) | 300000u);
}

TEST(MidiChunk, MergesTracksByTimeWithTiesToTheEarlierTrack) {
  const Bytes a = cat({{0x00, 0x90, 60, 1}, {0x0A, 61, 1}, {0x0A, 62, 1}, end_of_track()});  // 0, 10, 20
  const Bytes b = cat({{0x05, 0x91, 70, 1}, {0x05, 71, 1}, {0x0A, 72, 1}, end_of_track()});  // 5, 10, 20
  Loaded f_(smf(1, 480, {a, b}));
  ChunkFiller& f = f_.filler;
  const auto ev = flat(all_chunks(f));
  std::vector<std::uint32_t> keys, deltas;
  for (auto& e : ev) keys.push_back((e.event >> 8) & 0x7F), deltas.push_back(e.delta);
  EXPECT_EQ(keys, (std::vector<std::uint32_t>{60, 70, 61, 71, 62, 72}));
  EXPECT_EQ(deltas, (std::vector<std::uint32_t>{0, 5, 5, 0, 10, 0}));
}

TEST(MidiChunk, HoldsAtMost85EventsAndCarriesTheNextOver) {
  Bytes track = tempo_event(500000);
  for (int i = 0; i < 100; ++i) track.insert(track.end(), {0x00, 0x90, static_cast<unsigned char>(i), 64});
  track = cat({track, end_of_track()});
  Loaded f_(smf(0, 480, {track}));
  ChunkFiller& f = f_.filler;
  const auto chunks = all_chunks(f);
  ASSERT_EQ(chunks.size(), 2u);
  EXPECT_EQ(chunks[0].size(), 85u);
  ASSERT_EQ(chunks[1].size(), 16u);
  EXPECT_EQ((chunks[1][0].event >> 8) & 0x7F, 84u) << "the event that did not fit opens the next chunk";
}

TEST(MidiChunk, ClosesAChunkOneEventAfterItsMusicSpansAbout60ms) {
  // 500000 µs a quarter, 480 a quarter: the span limit is 57 ticks.
  Bytes track = tempo_event(500000);
  for (int i = 0; i < 12; ++i) track.insert(track.end(), {static_cast<unsigned char>(i ? 20 : 0), 0x90, static_cast<unsigned char>(i), 64});
  track = cat({track, end_of_track()});
  Loaded f_(smf(0, 480, {track}));
  ChunkFiller& f = f_.filler;
  const auto chunks = all_chunks(f);
  // Ticks 0..60 pass 57 at tick 60; tick 80 is the one more; tick 100 goes over.
  ASSERT_GE(chunks.size(), 2u);
  ASSERT_EQ(chunks[0].size(), 6u);  // tempo, 0, 20, 40, 60, 80
  EXPECT_EQ((chunks[0].back().event >> 8) & 0x7F, 4u);
  EXPECT_EQ((chunks[1][0].event >> 8) & 0x7F, 5u);
  EXPECT_EQ(chunks[1][0].delta, 20u) << "the carried event keeps its time";
  // From tick 80: 100..140 pass 57 at 140, 160 is the one more.
  EXPECT_EQ(chunks[1].size(), 4u);
}

TEST(MidiChunk, WithoutATempoEveryTickStepClosesTheChunk) {
  const Bytes track = cat({{0x00, 0x90, 1, 64}, {0x00, 2, 64}, {0x0A, 3, 64}, {0x0A, 4, 64}, {0x0A, 5, 64}, end_of_track()});
  Loaded f_(smf(0, 480, {track}));
  ChunkFiller& f = f_.filler;
  const auto chunks = all_chunks(f);
  ASSERT_EQ(chunks.size(), 2u);
  EXPECT_EQ(chunks[0].size(), 4u);  // two at tick 0, tick 10 passes the span, tick 20 the one more
  EXPECT_EQ(chunks[1].size(), 1u);
  EXPECT_EQ(chunks[1][0].delta, 10u);
}

TEST(MidiChunk, EndsWithoutRepeatAndStartsOverWithoutAGapWithRepeat) {
  const Bytes track = cat({{0x10, 0x90, 60, 64}, {0x20, 60, 0}, {0x30, 0xFF, 0x2F, 0x00}});
  Loaded once_(smf(0, 480, {track}));
  ChunkFiller& once = once_.filler;
  EXPECT_EQ(flat(all_chunks(once)).size(), 2u);
  MidiChunk c;
  EXPECT_EQ(once.fill(c, false, false), FillResult::end);
  EXPECT_EQ(c.bytes_recorded, 0u);

  Loaded again_(smf(0, 480, {track}));
  ChunkFiller& again = again_.filler;
  const auto ev = flat(all_chunks(again, true, 6));
  ASSERT_GE(ev.size(), 6u);
  for (std::size_t i = 0; i < 6; i += 2) {
    // The first note comes 16 ticks after the last event of the pass before,
    // as it comes 16 ticks after the start: no pause for the end of track.
    EXPECT_EQ(ev[i].delta, 0x10u) << i;
    EXPECT_EQ(ev[i + 1].delta, 0x20u) << i;
  }
}

TEST(MidiChunk, NothingPlayableEndsEvenWithRepeat) {
  for (const Bytes& file : {smf(0, 480, {end_of_track()}), smf(0, 480, {{}}),
                            smf(0, 480, {cat({{0x00, 0xFF, 0x01, 0x00}, end_of_track()})})}) {
    Loaded f_(file);
  ChunkFiller& f = f_.filler;
    MidiChunk c;
    EXPECT_EQ(f.fill(c, true, true), FillResult::end);
  }
}

// `whole` bytes whose last page, from `room` on, may not be read.
#ifdef _WIN32
std::size_t page_size() {
  SYSTEM_INFO system{};
  GetSystemInfo(&system);
  return system.dwPageSize;
}
void* map_with_guard(std::size_t whole, std::size_t room, std::size_t page) {
  void* base = VirtualAlloc(nullptr, whole, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  DWORD was = 0;
  if (base == nullptr || !VirtualProtect(static_cast<unsigned char*>(base) + room, page, PAGE_NOACCESS, &was))
    return nullptr;
  return base;
}
#else
std::size_t page_size() { return static_cast<std::size_t>(sysconf(_SC_PAGESIZE)); }
void* map_with_guard(std::size_t whole, std::size_t room, std::size_t page) {
  void* base = mmap(nullptr, whole, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED || mprotect(static_cast<unsigned char*>(base) + room, page, PROT_NONE) != 0)
    return nullptr;
  return base;
}
#endif

// A copy of some bytes that ends where an unreadable page begins: any read
// past their end stops the process, with or without a sanitizer.
class GuardedBytes {
 public:
  explicit GuardedBytes(const Bytes& bytes) {
    const std::size_t page = page_size();
    room_ = (bytes.size() / page + 1) * page;
    mapped_ = room_ + page;
    base_ = static_cast<unsigned char*>(map_with_guard(mapped_, room_, page));
    if (base_ == nullptr) std::abort();
    size_ = bytes.size();
    std::memcpy(base_ + room_ - size_, bytes.data(), size_);
  }
#ifdef _WIN32
  ~GuardedBytes() { VirtualFree(base_, 0, MEM_RELEASE); }
#else
  ~GuardedBytes() { munmap(base_, mapped_); }
#endif
  GuardedBytes(const GuardedBytes&) = delete;
  GuardedBytes& operator=(const GuardedBytes&) = delete;
  std::span<const unsigned char> bytes() const { return {base_ + room_ - size_, size_}; }

 private:
  unsigned char* base_ = nullptr;
  std::size_t room_ = 0, size_ = 0, mapped_ = 0;
};

// A track cut inside one kind of event, at tick 30. The whole track comes
// first in the file, so the cut one ends the file and the guarded bytes.
struct Cut {
  const char* what;
  Bytes event;  // delta 20 and the event up to the cut
};
const Cut kCuts[] = {
    {"channel message before its data bytes", {0x14, 0x91}},
    {"channel message after one of its two data bytes", {0x14, 0x91, 71}},
    {"running-status message after one of its two data bytes", {0x14, 71}},
    {"program change before its data byte", {0x14, 0xC1}},
    {"meta event before its type", {0x14, 0xFF}},
    {"meta event in its length", {0x14, 0xFF, 0x51, 0x83}},
    {"tempo event in its data", {0x14, 0xFF, 0x51, 0x03, 0x07, 0xA1}},
    {"end of track whose length runs past the track", {0x14, 0xFF, 0x2F, 0x01}},
    {"system exclusive in its data", {0x14, 0xF0, 0x05, 0x43, 0x12}},
};

Bytes file_with(const Cut& cut) {
  // Whole track: tempo and note 60 at tick 0, note 61 at 20, note 62 at 40.
  const Bytes whole = cat({tempo_event(500000), {0x00, 0x90, 60, 64}, {0x14, 61, 64}, {0x14, 62, 64}, end_of_track()});
  // Cut track: note 70 at tick 10, then the cut event at tick 30.
  return smf(1, 480, {whole, cat({{0x0A, 0x91, 70, 64}, cut.event})});
}

TEST(MidiChunk, ATrackCutInsideAnEventStopsTheFillAtTheCutAndIsReadNoFurther) {
  // Reading past a cut stays invisible in the events it gives (the read
  // fails just after), so a child process meets the unreadable page instead.
  EXPECT_EXIT(
      {
        for (const Cut& cut : kCuts) {
          std::fprintf(stderr, "cut: %s\n", cut.what);
          GuardedBytes guarded(file_with(cut));
          auto song = ui::midi::read_song(guarded.bytes());
          if (!song) std::_Exit(2);
          ChunkFiller f(*song);
          all_chunks(f);
        }
        std::_Exit(0);
      },
      testing::ExitedWithCode(0), "");
  if (HasFailure()) return;

  // The cut event is an error that closes the chunk holding the ticks 0 to
  // 20 (no span closes it: at 480 a quarter and 500000 µs it is 57 ticks);
  // the whole track goes on in the next one, the cut one is over.
  const std::vector<std::vector<std::pair<std::uint32_t, std::uint32_t>>> expected = {
      {{0, (platform::kEventTempo << 24) | 500000u},
       {0, short_msg(0x90, 60, 64)},
       {10, short_msg(0x91, 70, 64)},
       {10, short_msg(0x90, 61, 64)}},
      {{20, short_msg(0x90, 62, 64)}},
  };
  for (const Cut& cut : kCuts) {
    SCOPED_TRACE(cut.what);
    GuardedBytes guarded(file_with(cut));
    auto song = ui::midi::read_song(guarded.bytes());
    ASSERT_TRUE(song);
    ChunkFiller f(*song);
    std::vector<std::vector<std::pair<std::uint32_t, std::uint32_t>>> got;
    for (const auto& chunk : all_chunks(f)) {
      got.emplace_back();
      for (const auto& e : chunk) got.back().emplace_back(e.delta, e.event);
    }
    EXPECT_EQ(got, expected);
  }
}

TEST(MidiChunk, TheTuneFillsSmallChunksThatAddUpToItsSchedule) {
  const Bytes tune(ui::about_tune().begin(), ui::about_tune().end());
  const auto expected = schedule_of(tune);
  Loaded f_(tune);
  ChunkFiller& f = f_.filler;
  const auto chunks = all_chunks(f);
  std::uint64_t tick = 0;
  std::size_t i = 0;
  for (const auto& chunk : chunks) {
    ASSERT_FALSE(chunk.empty());
    ASSERT_LE(chunk.size(), 85u);
    for (const auto& e : chunk) {
      tick += e.delta;
      ASSERT_LT(i, expected.size());
      EXPECT_EQ(tick, expected[i].tick) << i;
      EXPECT_EQ(e.event, expected[i].message) << i;
      ++i;
    }
  }
  EXPECT_EQ(i, expected.size());
}

}  // namespace
