#include "platform/application.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QEventLoop>
#include <QScreen>
#include <QThread>
#include <cstdio>
#include <cstdlib>

#include "platform/frame_pacer.h"
#include "platform/process_signals.h"
#include "platform/toolkit_translation.h"

namespace platform {

void init_application(int& argc, char** argv) {
  guard_outputs_against_signals();
  if (QCoreApplication::instance() != nullptr) return;
  auto* app = new QApplication(argc, argv);
  // Docks and task bars match the window to the installed desktop entry.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.bixiqin.bixiqin"));
  load_toolkit_translations();
  pace_painting();
  // The program ends when its last window is destroyed, which the window
  // layer decides; Qt must not quit on its own when a message box closes.
  app->setQuitOnLastWindowClosed(false);
}

int run_message_loop() { return QApplication::exec(); }

void quit_message_loop(int code) {
  // Only a running loop can take the request; Qt would otherwise keep it and
  // make every later loop (a message box's included) end at once.
  if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(code);
}

namespace {
constexpr int kLongestMessagePass = 20;  // milliseconds
}  // namespace

void process_waiting_messages() {
  QCoreApplication::sendPostedEvents();
  // One pass of the event dispatcher serves only the sources of one
  // priority (zero-interval timers wait for an idle pass): keep going until
  // nothing is left, but never longer than a moment when events keep coming.
  QCoreApplication::processEvents(QEventLoop::AllEvents, kLongestMessagePass);
  // What those events posted is waiting too (a combo box's queued pick, a
  // closed window's deletion): deliver it before returning.
  QCoreApplication::sendPostedEvents();
}

void serve_messages_until(const std::function<bool()>& done) {
  while (!done()) {
    QCoreApplication::sendPostedEvents();
    if (done()) return;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
}

void wake_message_loop() {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) return;
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(app->thread())) {
    dispatcher->wakeUp();
  }
}

void exit_process_now(int code) {
  std::fflush(nullptr);
  std::_Exit(code);
}

ScreenSize primary_screen_size() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {};
  const QSize size = screen->geometry().size();
  return {size.width(), size.height()};
}

}  // namespace platform
