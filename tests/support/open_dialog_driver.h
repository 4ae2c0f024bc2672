#pragma once
// Drives the real file dialog from inside its own event loop: once the
// dialog is shown the action runs on it. Should the dialog (or a box it
// opened) still be open after the action, it is closed, so that a failing
// test fails instead of hanging.
#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <functional>
#include <ostream>
#include <utility>

#include "tests/support/shown_window.h"

class OpenDialogDriver {
 public:
  explicit OpenDialogDriver(std::function<void(QFileDialog&)> action) : action_(std::move(action)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
    timer_.start(5);
  }

  bool acted() const { return acted_; }
  // True when the action left something open that had to be closed.
  bool had_to_close() const { return had_to_close_; }

  static QFileDialog* shown_dialog() { return shown_window<QFileDialog>(); }

 private:
  void tick() {
    QFileDialog* dialog = shown_dialog();
    if (!dialog) return;
    QWidget* modal = QApplication::activeModalWidget();
    if (!acted_) {
      acted_ = true;
      // Qt does not fire a timer again while its handler runs, so a box the
      // action waits in (one the dialog opened) is closed by a second timer,
      // a little later than an action's own zero-delay closing.
      QTimer box_closer;
      QObject::connect(&box_closer, &QTimer::timeout, [this, dialog] {
        QWidget* box = QApplication::activeModalWidget();
        if (box && box != dialog) {
          had_to_close_ = true;
          box->close();
        }
      });
      box_closer.start(50);
      action_(*dialog);
      return;
    }
    had_to_close_ = true;
    if (modal && modal != dialog) {
      modal->close();
    } else {
      dialog->reject();
    }
  }

  std::function<void(QFileDialog&)> action_;
  QTimer timer_;
  bool acted_ = false;
  bool had_to_close_ = false;
};

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
