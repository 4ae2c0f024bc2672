#pragma once
// The About window's background music: a Standard MIDI File made by
// tools/compose_tune.cpp (format 0, division 480, 64 seconds).
#include <span>

namespace ui {

std::span<const unsigned char> about_tune();

}  // namespace ui
