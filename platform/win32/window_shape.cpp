#include "platform/window_shape.h"

#include <windows.h>

#include <climits>
#include <cstdlib>
#include <mutex>
#include <set>
#include <utility>

namespace platform {
namespace {

// The regions made here and not yet freed: only these may be given to a
// control or freed, so that a stale handle (one the system may have handed
// out again for another object) is refused rather than used.
struct Regions {
  std::mutex lock;
  std::set<RegionHandle> live;
};

Regions& regions() {
  static Regions table;
  return table;
}

HRGN region_of(RegionHandle handle) { return reinterpret_cast<HRGN>(handle); }

bool is_live(RegionHandle handle) {
  Regions& r = regions();
  const std::lock_guard guard(r.lock);
  return r.live.count(handle) == 1;
}

// The next coordinate out, where there is one.
int past(int edge) { return edge == INT_MAX ? edge : edge + 1; }

}  // namespace

RegionHandle create_round_rect_region(int left, int top, int right, int bottom, int ellipse_width,
                                      int ellipse_height) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  // The system's rounded region leaves out one more column and row than
  // its corner coordinates say (its box from (1, 1, 64, 32) ends at 63 and
  // 31, measured): asked one further, it ends where the rectangle does.
  const HRGN made = CreateRoundRectRgn(left, top, past(right), past(bottom), std::abs(ellipse_width),
                                       std::abs(ellipse_height));
  if (made == nullptr) return 0;
  const auto handle = reinterpret_cast<RegionHandle>(made);
  Regions& r = regions();
  const std::lock_guard guard(r.lock);
  r.live.insert(handle);
  return handle;
}

bool set_control_region(std::uintptr_t control, RegionHandle region, bool redraw) {
  const HWND window = reinterpret_cast<HWND>(control);
  if (!IsWindow(window) || !is_live(region)) return false;
  // The system owns a region once a window has it, and frees it with the
  // window: it gets a copy, and the caller's handle stays the caller's.
  const HRGN copy = CreateRectRgn(0, 0, 0, 0);
  if (copy == nullptr) return false;
  if (CombineRgn(copy, region_of(region), nullptr, RGN_COPY) == ERROR ||
      SetWindowRgn(window, copy, redraw ? TRUE : FALSE) == 0) {
    DeleteObject(copy);
    return false;
  }
  return true;
}

bool delete_region(RegionHandle region) {
  Regions& r = regions();
  const std::lock_guard guard(r.lock);
  if (r.live.count(region) == 0 || !DeleteObject(region_of(region))) return false;
  r.live.erase(region);
  return true;
}

int live_region_count() {
  Regions& r = regions();
  const std::lock_guard guard(r.lock);
  return static_cast<int>(r.live.size());
}

bool control_has_region(std::uintptr_t control) {
  const HWND window = reinterpret_cast<HWND>(control);
  if (!IsWindow(window)) return false;
  const HRGN shape = CreateRectRgn(0, 0, 0, 0);
  if (shape == nullptr) return false;
  const int kind = GetWindowRgn(window, shape);
  DeleteObject(shape);
  return kind != ERROR;
}

bool control_region_contains(std::uintptr_t control, int x, int y) {
  const HWND window = reinterpret_cast<HWND>(control);
  if (!IsWindow(window)) return false;
  // GetWindowRgn gives a copy, in the window's own coordinates.
  const HRGN shape = CreateRectRgn(0, 0, 0, 0);
  if (shape == nullptr) return false;
  bool inside = false;
  if (GetWindowRgn(window, shape) != ERROR) {
    inside = PtInRegion(shape, x, y) != 0;
  } else {
    RECT rect{};
    inside = GetWindowRect(window, &rect) && x >= 0 && y >= 0 && x < rect.right - rect.left && y < rect.bottom - rect.top;
  }
  DeleteObject(shape);
  return inside;
}

}  // namespace platform
