// The MIDI reader and the chunk filler on any bytes: a file is refused or
// its chunks stay inside the buffer, hold whole stream events and come to an
// end; with repeat on, a fill still returns.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/midi_stream.h"
#include "ui/midi_chunk.h"
#include "ui/midi_file.h"

namespace {
void check(bool ok) {
  if (!ok) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto song = ui::midi::read_song(std::span<const unsigned char>(data, size));
  if (!song) return 0;
  // Every event takes at least one byte of a track, and the filler makes at
  // most one chunk event from each (plus a closing one per chunk).
  const std::size_t most_chunks = size + 2;

  ui::midi::ChunkFiller filler(*song);
  platform::MidiChunk chunk;
  std::size_t chunks = 0;
  bool first = true;
  while (filler.fill(chunk, first, false) == ui::midi::FillResult::filled) {
    first = false;
    check(chunk.bytes_recorded > 0);
    check(chunk.bytes_recorded <= platform::MidiChunk::kCapacity);
    check(chunk.bytes_recorded % platform::kStreamEventBytes == 0);
    check(++chunks <= most_chunks);
  }
  check(chunk.bytes_recorded == 0);

  for (int i = 0; i < 8; ++i) {
    filler.fill(chunk, i == 0, true);
    check(chunk.bytes_recorded <= platform::MidiChunk::kCapacity);
    check(chunk.bytes_recorded % platform::kStreamEventBytes == 0);
  }
  return 0;
}
