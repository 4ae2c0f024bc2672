// Composition, the layered style, the colour key and the glass frame on a
// real window.
#include <gtest/gtest.h>

#include <dwmapi.h>

#include <optional>

#include "platform/colour.h"
#include "platform/composition.h"
#include "platform/win32/composition_seam.h"
#include "windows_support.h"

namespace {

std::uintptr_t id(HWND w) { return reinterpret_cast<std::uintptr_t>(w); }

}  // namespace

// Catches the seam not consulted (Wine's desktop says off, so "on" would
// read false) and the system not asked again once it is cleared.
TEST(Composition, TheSeamAnswersUntilCleared) {
  bool enabled = false;
  platform::win32::set_composition_answer_for_tests(true);
  ASSERT_TRUE(platform::query_composition(&enabled));
  EXPECT_TRUE(enabled);
  platform::win32::set_composition_answer_for_tests(false);
  enabled = true;
  ASSERT_TRUE(platform::query_composition(&enabled));
  EXPECT_FALSE(enabled);
  platform::win32::set_composition_answer_for_tests(std::nullopt);
  BOOL system = TRUE;
  ASSERT_EQ(DwmIsCompositionEnabled(&system), S_OK);
  // Replaced by the opposite, then cleared: the system's answer again.
  platform::win32::set_composition_answer_for_tests(system == FALSE);
  platform::win32::set_composition_answer_for_tests(std::nullopt);
  ASSERT_TRUE(platform::query_composition(&enabled));
  EXPECT_EQ(enabled, system != FALSE);
}

// Catches the style combined with the old one (the tool-window bit 0x80
// would stay: 0x80080); the key read back from anything but the system
// (a key on a window that is not layered is refused by the system); the
// button face passed on as 0xFF000000 (black, 0, after the mask) instead
// of the system's colour; the glass margins stored in another field order
// (1, 2, 3, -4 as left, right, top, bottom); and one frame remembered for
// every window.
TEST(Composition, StyleKeyAndGlassReadBackPerWindow) {
  std::optional<PlainWindow> window(std::in_place, 80, 40);
  std::optional<PlainWindow> other_window(std::in_place, 80, 40);
  const HWND w = window->handle();
  const HWND other = other_window->handle();
  ASSERT_NE(w, nullptr);
  ASSERT_NE(other, nullptr);
  EXPECT_FALSE(platform::set_colour_key(id(w), 0x00F6EDE3));
  EXPECT_FALSE(platform::colour_key(id(w)).has_value());

  ASSERT_TRUE(platform::set_extended_style(id(w), platform::kLayeredStyle));
  EXPECT_EQ(platform::extended_style(id(w)), 0x00080000u);
  ASSERT_TRUE(platform::set_colour_key(id(w), 0x00F6EDE3));  // RGB 227, 237, 246
  EXPECT_EQ(platform::colour_key(id(w)), std::optional<std::uint32_t>(0x00F6EDE3));
  ASSERT_TRUE(platform::set_colour_key(id(w), platform::kButtonFace));
  EXPECT_EQ(platform::colour_key(id(w)), std::optional<std::uint32_t>(GetSysColor(COLOR_BTNFACE)));

  EXPECT_FALSE(platform::glass_frame(id(w)).has_value());
  ASSERT_TRUE(platform::extend_glass_frame(id(w), platform::Margins{1, 2, 3, -4}));
  const std::optional<platform::Margins> glass = platform::glass_frame(id(w));
  ASSERT_TRUE(glass.has_value());
  EXPECT_EQ(glass->left, 1);
  EXPECT_EQ(glass->right, 2);
  EXPECT_EQ(glass->top, 3);
  EXPECT_EQ(glass->bottom, -4);
  EXPECT_FALSE(platform::glass_frame(id(other)).has_value());

  window.reset();
  other_window.reset();
  EXPECT_FALSE(platform::extend_glass_frame(id(w), platform::Margins{}));
  EXPECT_FALSE(platform::set_extended_style(id(w), 0));
}
