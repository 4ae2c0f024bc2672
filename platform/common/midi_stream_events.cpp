// The stream events' byte layout and the replaceable output, the same on
// both sides.
#include <mutex>
#include <utility>

#include "platform/common/midi_stream_choice.h"
#include "platform/midi_stream.h"

namespace platform {
namespace {

std::uint32_t get32(const unsigned char* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}

void put32(unsigned char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

std::mutex factory_mutex;
MidiStreamFactory& factory_slot() {
  static MidiStreamFactory factory;
  return factory;
}

}  // namespace

StreamEvent read_stream_event(const MidiChunk& chunk, std::size_t at) {
  const unsigned char* p = chunk.data.data() + at;
  return {get32(p), get32(p + 4), get32(p + 8)};
}

void write_stream_event(MidiChunk& chunk, std::size_t at, const StreamEvent& event) {
  unsigned char* p = chunk.data.data() + at;
  put32(p, event.delta);
  put32(p + 4, event.stream_id);
  put32(p + 8, event.event);
}

MidiStreamFactory chosen_midi_stream_factory() {
  std::lock_guard lock(factory_mutex);
  return factory_slot();
}

void set_midi_stream_factory(MidiStreamFactory factory) {
  std::lock_guard lock(factory_mutex);
  factory_slot() = std::move(factory);
}

}  // namespace platform
