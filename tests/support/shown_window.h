#pragma once
// Finding the dialog or box a test is waiting for.
#include <QApplication>
#include <QWidget>

// The visible top-level window of kind T (a QFileDialog, a QMessageBox, ...),
// or null when none is showing.
template <class T>
T* shown_window() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* found = qobject_cast<T*>(w);
    if (found != nullptr && found->isVisible()) return found;
  }
  return nullptr;
}
