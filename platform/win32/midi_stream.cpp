#include "platform/midi_stream.h"

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <map>
#include <mutex>
#include <utility>

#include "platform/common/midi_stream_choice.h"

namespace platform {
namespace {

// Whether this thread is inside the stream's callback, where closing the
// stream would wait for the thread it runs on.
thread_local bool in_stream_callback = false;

// The system's MIDI stream on the mapper. Every chunk the player prepares
// gets a header of its own that points at the chunk's bytes, and carries
// the chunk back to the callback in its user field.
class WinmmMidiStream final : public MidiStream {
 public:
  explicit WinmmMidiStream(Callback callback) : callback_(std::move(callback)) {}

  ~WinmmMidiStream() override {
    if (stream_ == nullptr) return;
    silenced_ = true;  // no callback after this
    midiOutReset(out());
    std::lock_guard lock(m_);
    for (auto& [chunk, header] : headers_) midiOutUnprepareHeader(out(), header.get(), sizeof(MIDIHDR));
    midiStreamClose(stream_);
  }

  bool open() {
    UINT device = MIDI_MAPPER;
    if (midiStreamOpen(&stream_, &device, 1, reinterpret_cast<DWORD_PTR>(&on_message),
                       reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION) == MMSYSERR_NOERROR)
      return true;
    stream_ = nullptr;
    return false;
  }

  bool set_time_division(int ticks_per_quarter) override {
    if (ticks_per_quarter <= 0) return false;
    MIDIPROPTIMEDIV division{sizeof(MIDIPROPTIMEDIV), static_cast<DWORD>(ticks_per_quarter)};
    return midiStreamProperty(stream_, reinterpret_cast<LPBYTE>(&division),
                              MIDIPROP_SET | MIDIPROP_TIMEDIV) == MMSYSERR_NOERROR;
  }

  bool prepare(MidiChunk& chunk) override {
    std::lock_guard lock(m_);
    if (headers_.contains(&chunk)) return false;
    auto header = std::make_unique<MIDIHDR>();
    header->lpData = reinterpret_cast<LPSTR>(chunk.data.data());
    header->dwBufferLength = static_cast<DWORD>(chunk.data.size());
    header->dwUser = reinterpret_cast<DWORD_PTR>(&chunk);
    if (midiOutPrepareHeader(out(), header.get(), sizeof(MIDIHDR)) != MMSYSERR_NOERROR) return false;
    headers_.emplace(&chunk, std::move(header));
    return true;
  }

  bool unprepare(MidiChunk& chunk) override {
    std::lock_guard lock(m_);
    const auto found = headers_.find(&chunk);
    if (found == headers_.end()) return false;
    // The system refuses (still playing) while the chunk is queued.
    if (midiOutUnprepareHeader(out(), found->second.get(), sizeof(MIDIHDR)) != MMSYSERR_NOERROR) return false;
    headers_.erase(found);
    return true;
  }

  bool queue(MidiChunk& chunk) override {
    MIDIHDR* header = nullptr;
    {
      std::lock_guard lock(m_);
      const auto found = headers_.find(&chunk);
      if (found == headers_.end()) return false;
      header = found->second.get();
    }
    if (chunk.bytes_recorded > chunk.data.size()) return false;
    header->dwBytesRecorded = static_cast<DWORD>(chunk.bytes_recorded);
    ++queued_;
    if (midiStreamOut(stream_, header, sizeof(MIDIHDR)) == MMSYSERR_NOERROR) return true;
    --queued_;
    return false;
  }

  bool restart() override { return midiStreamRestart(stream_) == MMSYSERR_NOERROR; }
  bool stop() override { return midiStreamStop(stream_) == MMSYSERR_NOERROR; }
  bool reset() override { return midiOutReset(out()) == MMSYSERR_NOERROR; }

  bool close() override {
    if (in_stream_callback || queued_ > 0 || stream_ == nullptr) return false;
    silenced_ = true;
    {
      std::lock_guard lock(m_);
      for (auto& [chunk, header] : headers_) midiOutUnprepareHeader(out(), header.get(), sizeof(MIDIHDR));
      headers_.clear();
    }
    const bool closed = midiStreamClose(stream_) == MMSYSERR_NOERROR;
    stream_ = nullptr;
    return closed;
  }

 private:
  HMIDIOUT out() const { return reinterpret_cast<HMIDIOUT>(stream_); }

  static void CALLBACK on_message(HMIDIOUT, UINT message, DWORD_PTR instance, DWORD_PTR first, DWORD_PTR) {
    auto* self = reinterpret_cast<WinmmMidiStream*>(instance);
    if (self == nullptr || self->silenced_ || (message != MOM_DONE && message != MOM_POSITIONCB)) return;
    auto* header = reinterpret_cast<MIDIHDR*>(first);
    auto* chunk = reinterpret_cast<MidiChunk*>(header->dwUser);
    // Given back before the player sees it, so that it may queue it again.
    if (message == MOM_DONE) --self->queued_;
    in_stream_callback = true;
    self->callback_(message == MOM_DONE ? Notice::chunk_done : Notice::position_reached, *chunk);
    in_stream_callback = false;
  }

  Callback callback_;
  HMIDISTRM stream_ = nullptr;
  std::mutex m_;  // the headers: prepared on the window's thread, queued from the callback
  std::map<MidiChunk*, std::unique_ptr<MIDIHDR>> headers_;
  std::atomic<int> queued_ = 0;
  std::atomic<bool> silenced_ = false;
};

}  // namespace

// The MIDI mapper; nothing (and silence) on a system without a MIDI device.
std::unique_ptr<MidiStream> open_midi_stream(MidiStream::Callback callback) {
  if (MidiStreamFactory factory = chosen_midi_stream_factory()) return factory(std::move(callback));
  auto stream = std::make_unique<WinmmMidiStream>(std::move(callback));
  if (!stream->open()) return nullptr;
  return stream;
}

}  // namespace platform
