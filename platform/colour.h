#pragma once
#include <cstdint>

namespace platform {

// Colours in the layout 0x00BBGGRR; this value stands for the system's
// button-face colour, looked up each time it is used.
constexpr std::uint32_t kButtonFace = 0xFF000000u;

}  // namespace platform
