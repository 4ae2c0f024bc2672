// Regions on a real window: made, given as a copy, freed.
#include <gtest/gtest.h>

#include "platform/window_shape.h"
#include "windows_support.h"

// The region (0, 0)-(20, 20) with corners cut by an 8x8 ellipse: by the
// contract's rule column 19 and row 19 are inside, 20 outside; the corner
// pixel (0, 0) lies outside the ellipse (its centre (4, 4), radius 4:
// (0-4)^2/16 + (0-4)^2/16 = 2 > 1). Catches the rectangle handed to
// CreateRoundRectRgn as it is (the system leaves out one more column and
// row: 19 would be outside); the control given the caller's handle itself
// (the system then owns it: DeleteObject fails, and the count stays up,
// or the control's shape is freed under it); and a freed handle still
// accepted.
TEST(WindowShape, RoundRegionKeepsItsEdgesAndTheControlItsCopy) {
  const PlainWindow window(100, 50);
  const int before = platform::live_region_count();
  EXPECT_FALSE(platform::control_has_region(window.id()));
  EXPECT_TRUE(platform::control_region_contains(window.id(), 99, 49));
  EXPECT_FALSE(platform::control_region_contains(window.id(), 100, 10));

  const platform::RegionHandle region = platform::create_round_rect_region(0, 0, 20, 20, 8, 8);
  ASSERT_NE(region, 0u);
  EXPECT_EQ(platform::live_region_count(), before + 1);
  ASSERT_TRUE(platform::set_control_region(window.id(), region, true));
  ASSERT_TRUE(platform::delete_region(region));
  EXPECT_EQ(platform::live_region_count(), before);
  EXPECT_FALSE(platform::delete_region(region));
  EXPECT_EQ(platform::live_region_count(), before);

  EXPECT_TRUE(platform::control_has_region(window.id()));
  EXPECT_TRUE(platform::control_region_contains(window.id(), 10, 10));
  EXPECT_TRUE(platform::control_region_contains(window.id(), 19, 10));
  EXPECT_TRUE(platform::control_region_contains(window.id(), 10, 19));
  EXPECT_FALSE(platform::control_region_contains(window.id(), 20, 10));
  EXPECT_FALSE(platform::control_region_contains(window.id(), 10, 20));
  EXPECT_FALSE(platform::control_region_contains(window.id(), 0, 0));
  EXPECT_FALSE(platform::control_region_contains(window.id(), 19, 19));
  EXPECT_FALSE(platform::control_region_contains(window.id(), 50, 25));  // in the window, not the shape

  EXPECT_FALSE(platform::set_control_region(window.id(), region, true));
}
