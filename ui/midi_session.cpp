#include "ui/midi_session.h"

#include <system_error>
#include <thread>

namespace ui {

using platform::MidiChunk;
using platform::MidiStream;

namespace {

// Errors of the MIDI output end up here and go no further: the window works
// the same without sound.
void output_error() {}

}  // namespace

std::shared_ptr<MidiSession> MidiSession::begin(std::span<const unsigned char> music, bool repeat) {
  std::shared_ptr<MidiSession> s(new MidiSession);
  s->music_.assign(music.begin(), music.end());
  auto song = midi::read_song(s->music_);
  if (!song) return nullptr;
  s->filler_.emplace(std::move(*song));
  s->repeat_ = repeat;

  MidiSession* raw = s.get();  // the stream is closed before the session goes
  s->stream_ = platform::open_midi_stream(
      [raw](MidiStream::Notice notice, MidiChunk& chunk) { raw->on_notice(notice, chunk); });
  if (!s->stream_) {
    output_error();
    return nullptr;
  }
  if (!s->stream_->set_time_division(s->filler_->division()) || !s->stream_->prepare(s->chunks_[0]) ||
      !s->stream_->prepare(s->chunks_[1])) {
    output_error();
    return nullptr;
  }
  if (!s->start_playing()) {
    s->stop(std::chrono::milliseconds(2000));
    return nullptr;
  }
  return s;
}

bool MidiSession::start_playing() {
  {
    std::lock_guard lock(m_);
    if (filler_->fill(chunks_[0], true, repeat_) == midi::FillResult::end) return false;
    if (!stream_->queue(chunks_[0])) {
      output_error();
      return false;
    }
    out_ = 1;
    if (filler_->fill(chunks_[1], false, repeat_) == midi::FillResult::filled) {
      if (!stream_->queue(chunks_[1])) {
        output_error();
        return false;
      }
      out_ = 2;
    }
    end_reached_ = false;
    playing_ = true;
  }
  if (!stream_->restart()) {
    output_error();
    return false;
  }
  return true;
}

MidiSession::~MidiSession() {
  // Only reached when no chunk is in the stream's hands (or on a failed
  // start, before anything played): closing here is safe.
  if (stream_) {
    stream_->unprepare(chunks_[0]);
    stream_->unprepare(chunks_[1]);
    stream_->close();
  }
}

bool MidiSession::playing() const {
  std::lock_guard lock(m_);
  return playing_;
}

void MidiSession::on_notice(MidiStream::Notice notice, MidiChunk& chunk) {
  if (notice == MidiStream::Notice::position_reached) return;  // the volume mark needs no answer
  std::unique_lock lock(m_);
  if (out_ > 0) --out_;
  if (stop_requested_) {
    if (out_ == 0) {
      back_.notify_all();
      if (abandoned_) hand_over_release(lock);
    }
    return;
  }
  if (!end_reached_ && playing_) {
    if (filler_->fill(chunk, false, repeat_) == midi::FillResult::filled) {
      if (stream_->queue(chunk)) {
        ++out_;
        return;
      }
      output_error();  // a chunk that cannot be queued ends the music
    }
    end_reached_ = true;
  }
  if (end_reached_ && out_ == 0) {
    playing_ = false;
    hand_over_release(lock);
  }
}

void MidiSession::hand_over_release(std::unique_lock<std::mutex>&) {
  if (released_) return;
  released_ = true;
  std::shared_ptr<MidiSession> self = keep_alive_ ? std::move(keep_alive_) : shared_from_this();
  try {
    std::thread([self] { self->release(); }).detach();
  } catch (const std::system_error&) {
    keep_alive_ = std::move(self);  // no thread to close it: keep it rather than block the stream
  }
}

void MidiSession::release() {
  // No chunk is in the stream's hands here, so nothing calls back meanwhile.
  if (!stream_->stop() || !stream_->reset()) output_error();
  if (!stream_->unprepare(chunks_[0]) || !stream_->unprepare(chunks_[1]) || !stream_->close()) {
    output_error();
  }
  stream_.reset();
  std::lock_guard lock(m_);
  filler_->rewind();
}

void MidiSession::stop(std::chrono::milliseconds wait) {
  {
    std::lock_guard lock(m_);
    if (released_ || stop_requested_) return;
    stop_requested_ = true;
    playing_ = false;
  }
  // The chunks may come back on this very thread: no lock held here.
  if (!stream_->stop() || !stream_->reset()) output_error();
  {
    std::unique_lock lock(m_);
    if (!back_.wait_for(lock, wait, [&] { return out_ == 0; })) {
      abandoned_ = true;
      keep_alive_ = shared_from_this();
      return;
    }
    released_ = true;
  }
  release();
}

}  // namespace ui
