#pragma once
// A window's background music: plays a Standard MIDI File on the MIDI
// output, once or over and over, until stopped. Every failure is silent.
#include <chrono>
#include <memory>
#include <span>

namespace ui {

class MidiSession;

class MidiPlayer {
 public:
  MidiPlayer();
  // How long stop() waits for the output to give its chunks back.
  explicit MidiPlayer(std::chrono::milliseconds stop_wait);
  ~MidiPlayer();  // stops
  MidiPlayer(const MidiPlayer&) = delete;
  MidiPlayer& operator=(const MidiPlayer&) = delete;

  // Play count 0 repeats without end, 1 plays once, 2 never plays. Music
  // already playing is stopped first. The bytes are copied.
  void start(std::span<const unsigned char> music, int play_count);
  void stop();
  bool playing() const;

 private:
  std::shared_ptr<MidiSession> session_;
  std::chrono::milliseconds stop_wait_;
};

}  // namespace ui
