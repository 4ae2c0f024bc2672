#pragma once
// Desktop composition and layered windows: whether a compositor shows
// translucency, the extended window style, the colour key and the glass frame.
// Each operation answers whether it could be done; the window is named by its
// native handle.
#include <cstdint>
#include <optional>

namespace platform {

// The extended style that makes a window layered (translucent-capable).
constexpr std::uint32_t kLayeredStyle = 0x00080000;

// Widths of the glass frame inside the client area; any negative one makes
// the whole window one sheet of glass.
struct Margins {
  std::int32_t left = 0;
  std::int32_t right = 0;
  std::int32_t top = 0;
  std::int32_t bottom = 0;
};

// Writes through `enabled` whether a compositing manager runs: X11 — the
// compositing-manager selection of the default screen has an owner; Wayland —
// always; the offscreen platform — what platform/qt/offscreen_composition.h
// sets. Other platforms: false.
bool query_composition(bool* enabled);

// Replaces the window's extended style; the layered bit makes it
// translucent-capable.
bool set_extended_style(std::uintptr_t window, std::uint32_t style);
std::uint32_t extended_style(std::uintptr_t window);

// Pixels of exactly this 0x00BBGGRR colour become see-through on a layered
// window: fully transparent, or glass (the key colour half translucent)
// where the glass frame covers them.
bool set_colour_key(std::uintptr_t window, std::uint32_t colour_bgr);
std::optional<std::uint32_t> colour_key(std::uintptr_t window);

bool extend_glass_frame(std::uintptr_t window, const Margins& margins);
std::optional<Margins> glass_frame(std::uintptr_t window);

}  // namespace platform
