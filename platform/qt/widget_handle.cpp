#include "platform/qt/widget_handle.h"

#include <QApplication>

namespace platform {

std::uintptr_t handle_of(const QWidget* widget) { return reinterpret_cast<std::uintptr_t>(widget); }

QWidget* widget_for_handle(std::uintptr_t handle) {
  if (handle == 0) return nullptr;
  const auto all = QApplication::allWidgets();
  for (QWidget* w : all) {
    if (handle_of(w) == handle) return w;
  }
  return nullptr;
}

}  // namespace platform
