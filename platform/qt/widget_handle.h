#pragma once
// Native handles of windows and controls: the identity of a live widget.
// Looking a handle up never trusts it; a handle whose widget has gone finds
// nothing.
#include <QWidget>
#include <cstdint>

namespace platform {

std::uintptr_t handle_of(const QWidget* widget);
QWidget* widget_for_handle(std::uintptr_t handle);

}  // namespace platform
