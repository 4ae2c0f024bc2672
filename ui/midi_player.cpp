#include "ui/midi_player.h"

#include <utility>

#include "ui/midi_session.h"

namespace ui {

namespace {
constexpr std::chrono::milliseconds kStopWait{2000};
}

MidiPlayer::MidiPlayer() : stop_wait_(kStopWait) {}
MidiPlayer::MidiPlayer(std::chrono::milliseconds stop_wait) : stop_wait_(stop_wait) {}
MidiPlayer::~MidiPlayer() { stop(); }

void MidiPlayer::start(std::span<const unsigned char> music, int play_count) {
  stop();
  if (play_count != 0 && play_count != 1) return;
  session_ = MidiSession::begin(music, play_count == 0);
}

void MidiPlayer::stop() {
  if (auto session = std::exchange(session_, nullptr)) session->stop(stop_wait_);
}

bool MidiPlayer::playing() const { return session_ && session_->playing(); }

}  // namespace ui
