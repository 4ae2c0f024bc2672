#include "platform/window_shape.h"

#include <QRegion>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>

#include "platform/qt/widget_handle.h"

namespace platform {
namespace {

std::map<RegionHandle, std::unique_ptr<QRegion>>& regions() {
  static std::map<RegionHandle, std::unique_ptr<QRegion>> table;
  return table;
}

// Whether the whole pixel (x, y) lies inside the quarter ellipse of radii
// rx, ry centred at (cx, cy): the pixel's corner farthest from the centre
// decides.
bool pixel_in_corner(int x, int y, double cx, double cy, double rx, double ry) {
  const double px = x < cx ? x : x + 1.0;
  const double py = y < cy ? y : y + 1.0;
  const double dx = (px - cx) / rx;
  const double dy = (py - cy) / ry;
  return dx * dx + dy * dy <= 1.0 + 1e-9;
}

QRegion round_rect(int left, int top, int right, int bottom, int ew, int eh) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  ew = std::min(std::abs(ew), right - left);
  eh = std::min(std::abs(eh), bottom - top);
  if (ew < 2 || eh < 2) return QRegion(left, top, right - left, bottom - top);
  const double rx = ew / 2.0;
  const double ry = eh / 2.0;
  QRegion region;
  for (int y = top; y < bottom; ++y) {
    const bool top_band = y < top + ry;
    const bool bottom_band = y >= bottom - ry;
    int from = left;
    int to = right;  // exclusive
    if (top_band || bottom_band) {
      const double cy = top_band ? top + ry : bottom - ry;
      while (from < left + rx && !pixel_in_corner(from, y, left + rx, cy, rx, ry)) ++from;
      while (to - 1 >= right - rx && !pixel_in_corner(to - 1, y, right - rx, cy, rx, ry)) --to;
    }
    if (to > from) region += QRect(from, y, to - from, 1);
  }
  return region;
}

}  // namespace

RegionHandle create_round_rect_region(int left, int top, int right, int bottom, int ellipse_width,
                                      int ellipse_height) {
  auto region = std::make_unique<QRegion>(round_rect(left, top, right, bottom, ellipse_width, ellipse_height));
  const auto handle = reinterpret_cast<RegionHandle>(region.get());
  regions().emplace(handle, std::move(region));
  return handle;
}

bool set_control_region(std::uintptr_t control, RegionHandle region, bool redraw) {
  QWidget* w = widget_for_handle(control);
  const auto it = regions().find(region);
  if (w == nullptr || it == regions().end()) return false;
  w->setMask(*it->second);
  if (redraw) w->update();
  return true;
}

bool delete_region(RegionHandle region) { return regions().erase(region) == 1; }

int live_region_count() { return static_cast<int>(regions().size()); }

bool control_has_region(std::uintptr_t control) {
  QWidget* w = widget_for_handle(control);
  return w != nullptr && !w->mask().isEmpty();
}

bool control_region_contains(std::uintptr_t control, int x, int y) {
  QWidget* w = widget_for_handle(control);
  if (w == nullptr) return false;
  if (w->mask().isEmpty()) return w->rect().contains(x, y);
  return w->mask().contains(QPoint(x, y));
}

}  // namespace platform
