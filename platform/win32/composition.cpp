#include "platform/composition.h"

#include <windows.h>
#include <dwmapi.h>

#include <atomic>

#include "platform/colour.h"
#include "platform/win32/composition_seam.h"

namespace platform {
namespace {

// What the tests put in the system's place: -1 none, else 0 or 1.
std::atomic<int> composition_answer{-1};

HWND window_of(std::uintptr_t handle) { return reinterpret_cast<HWND>(handle); }

// The glass frame asked for is kept with the window itself, one property
// per margin: the system cannot be asked back, and a window's properties
// go with it, so a later window given the same handle starts without.
// The property names as atoms, made once: a name given as text would take
// another reference on its atom at each call.
enum GlassProperty { kGlassLeft, kGlassRight, kGlassTop, kGlassBottom, kGlassSet };
const wchar_t* glass_property(GlassProperty which) {
  static const ATOM atoms[5] = {GlobalAddAtomW(L"bixiqin.glass.left"), GlobalAddAtomW(L"bixiqin.glass.right"),
                                GlobalAddAtomW(L"bixiqin.glass.top"), GlobalAddAtomW(L"bixiqin.glass.bottom"),
                                GlobalAddAtomW(L"bixiqin.glass")};
  return reinterpret_cast<const wchar_t*>(static_cast<std::uintptr_t>(atoms[which]));
}

HANDLE as_property(std::int32_t v) {
  return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(static_cast<std::uint32_t>(v)));
}
std::int32_t from_property(HANDLE h) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(h)));
}

}  // namespace

namespace win32 {
void set_composition_answer_for_tests(std::optional<bool> answer) {
  composition_answer = answer ? static_cast<int>(*answer) : -1;
}
}  // namespace win32

bool query_composition(bool* enabled) {
  if (enabled == nullptr) return false;
  if (const int replaced = composition_answer; replaced >= 0) {
    *enabled = replaced == 1;
    return true;
  }
  BOOL on = FALSE;
  if (FAILED(DwmIsCompositionEnabled(&on))) {
    *enabled = false;
    return false;
  }
  *enabled = on != FALSE;
  return true;
}

bool set_extended_style(std::uintptr_t window, std::uint32_t style) {
  const HWND w = window_of(window);
  if (!IsWindow(w)) return false;
  // The old style is the answer, and 0 is a style too: only the error
  // code tells a failure.
  SetLastError(0);
  const LONG_PTR before = SetWindowLongPtrW(w, GWL_EXSTYLE, static_cast<LONG_PTR>(style));
  return before != 0 || GetLastError() == 0;
}

std::uint32_t extended_style(std::uintptr_t window) {
  const HWND w = window_of(window);
  if (!IsWindow(w)) return 0;
  return static_cast<std::uint32_t>(GetWindowLongPtrW(w, GWL_EXSTYLE));
}

bool set_colour_key(std::uintptr_t window, std::uint32_t colour_bgr) {
  const HWND w = window_of(window);
  if (!IsWindow(w)) return false;
  // The button face stands for the system's colour at this moment.
  const COLORREF key = colour_bgr == kButtonFace ? GetSysColor(COLOR_BTNFACE) : (colour_bgr & 0x00FFFFFFu);
  // Refused by the system unless the window is layered.
  return SetLayeredWindowAttributes(w, key, 0, LWA_COLORKEY) != 0;
}

std::optional<std::uint32_t> colour_key(std::uintptr_t window) {
  const HWND w = window_of(window);
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  if (!IsWindow(w) || !GetLayeredWindowAttributes(w, &key, &alpha, &flags) || (flags & LWA_COLORKEY) == 0) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(key);
}

bool extend_glass_frame(std::uintptr_t window, const Margins& margins) {
  const HWND w = window_of(window);
  // Wine answers S_OK even for a handle that names no window.
  if (!IsWindow(w)) return false;
  const MARGINS m{margins.left, margins.right, margins.top, margins.bottom};
  if (FAILED(DwmExtendFrameIntoClientArea(w, &m))) return false;
  return SetPropW(w, glass_property(kGlassLeft), as_property(margins.left)) &&
         SetPropW(w, glass_property(kGlassRight), as_property(margins.right)) &&
         SetPropW(w, glass_property(kGlassTop), as_property(margins.top)) &&
         SetPropW(w, glass_property(kGlassBottom), as_property(margins.bottom)) &&
         SetPropW(w, glass_property(kGlassSet), reinterpret_cast<HANDLE>(std::uintptr_t{1}));
}

std::optional<Margins> glass_frame(std::uintptr_t window) {
  const HWND w = window_of(window);
  if (!IsWindow(w) || GetPropW(w, glass_property(kGlassSet)) == nullptr) return std::nullopt;
  return Margins{from_property(GetPropW(w, glass_property(kGlassLeft))),
                 from_property(GetPropW(w, glass_property(kGlassRight))),
                 from_property(GetPropW(w, glass_property(kGlassTop))),
                 from_property(GetPropW(w, glass_property(kGlassBottom)))};
}

}  // namespace platform
