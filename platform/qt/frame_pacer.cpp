#include "platform/frame_pacer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <unordered_map>

namespace platform {
namespace {

class FramePacer final : public QObject {
 public:
  FramePacer() { clock_.start(); }

  bool eventFilter(QObject* object, QEvent* event) override {
    // A window's pending changes are painted when it receives this request.
    if (event->type() != QEvent::UpdateRequest || delivering_) return false;
    auto* window = qobject_cast<QWidget*>(object);
    if (window == nullptr || !window->isWindow()) return false;
    auto [it, added] = windows_.try_emplace(window);
    if (added) connect(window, &QObject::destroyed, this, [this, window] { windows_.erase(window); });
    State& state = it->second;
    if (state.waiting) return true;  // the next frame paints it
    const qint64 now = clock_.nsecsElapsed();
    const qint64 frame = frame_of(window);
    if (!state.painted || now - state.last >= frame) {
      state.painted = true;
      state.last = now;
      return false;
    }
    // Too soon after the last paint: wait for the next frame. The request
    // is held, so Qt asks for no other one meanwhile and every change
    // made until then is painted with it.
    state.waiting = true;
    const int wait_ms = static_cast<int>((frame - (now - state.last) + 999'999) / 1'000'000);
    QTimer::singleShot(wait_ms, Qt::PreciseTimer, this, [this, target = QPointer<QWidget>(window)] {
      if (target.isNull()) return;
      auto found = windows_.find(target.data());
      if (found == windows_.end()) return;
      found->second.waiting = false;
      found->second.last = clock_.nsecsElapsed();
      delivering_ = true;
      QEvent request(QEvent::UpdateRequest);
      QCoreApplication::sendEvent(target.data(), &request);
      delivering_ = false;
    });
    return true;
  }

 private:
  struct State {
    bool painted = false;
    bool waiting = false;
    qint64 last = 0;  // when it was last painted, on clock_
  };

  static qint64 frame_of(const QWidget* window) {
    const QScreen* screen = window->screen();
    const qreal rate = screen != nullptr ? screen->refreshRate() : 0;
    return static_cast<qint64>(1e9 / (rate >= 20 && rate <= 500 ? rate : 60.0));
  }

  QElapsedTimer clock_;
  std::unordered_map<QObject*, State> windows_;
  bool delivering_ = false;
};

}  // namespace

void pace_painting() {
  static FramePacer* pacer = nullptr;
  if (pacer != nullptr || QCoreApplication::instance() == nullptr) return;
  pacer = new FramePacer;
  pacer->setParent(QCoreApplication::instance());
  QCoreApplication::instance()->installEventFilter(pacer);
}

}  // namespace platform
