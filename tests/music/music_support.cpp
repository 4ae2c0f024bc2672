#include "music_support.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace music_test {

std::vector<TimedMessage> schedule_of(const Bytes& file, std::uint64_t* end_tick) {
  std::vector<TimedMessage> out;
  std::size_t p = 22;  // header (14) and the track chunk's head (8)
  std::uint64_t tick = 0;
  unsigned char running = 0;
  auto number = [&] {
    std::uint32_t v = 0;
    unsigned char b;
    do {
      b = file.at(p++);
      v = v << 7 | (b & 0x7F);
    } while (b & 0x80);
    return v;
  };
  while (p < file.size()) {
    tick += number();
    unsigned char status = file.at(p);
    if (status & 0x80) ++p;
    else status = running;
    if (status == 0xFF) {
      const unsigned char type = file.at(p++);
      const std::uint32_t size = number();
      p += size;
      if (type == 0x2F) {
        if (end_tick) *end_tick = tick;
        break;
      }
      throw std::runtime_error("unexpected meta event");
    }
    running = status;
    const int length = (status & 0xE0) == 0xC0 ? 1 : 2;
    std::uint32_t message = status | file.at(p) << 8;
    if (length == 2) message |= file.at(p + 1) << 16;
    p += length;
    out.push_back({tick, message});
  }
  return out;
}

Bytes read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace music_test
