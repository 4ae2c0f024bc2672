#pragma once
// Window shapes: a region is made, given to a control (which then shows and
// takes input only inside it), and its handle freed. Coordinates are the
// control's own, origin at its top-left corner.
#include <cstdint>

namespace platform {

using RegionHandle = std::uintptr_t;

// The rectangle from (left, top) to (right, bottom), right and bottom edges
// excluded, its corners cut by an ellipse of the given width and height.
// 0 when no region can be made.
RegionHandle create_round_rect_region(int left, int top, int right, int bottom, int ellipse_width,
                                      int ellipse_height);
// Gives the control a copy of the region as its shape.
bool set_control_region(std::uintptr_t control, RegionHandle region, bool redraw);
// Frees the region handle; the shape of a control that was given it stays.
bool delete_region(RegionHandle region);
// Region handles made and not yet freed.
int live_region_count();

// Whether the control has a shape, and whether the point lies inside it (a
// control without a shape contains every point of its rectangle).
bool control_has_region(std::uintptr_t control);
bool control_region_contains(std::uintptr_t control, int x, int y);

}  // namespace platform
