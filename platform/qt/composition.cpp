#include "platform/composition.h"
#include "platform/qt/offscreen_composition.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <QVariant>
#include <QWidget>
#include <string>

#include "platform/qt/glass_effect.h"
#include "platform/qt/widget_handle.h"

#ifdef BIXIQIN_HAVE_XLIB
#include <X11/Xlib.h>
#endif

namespace platform {
namespace {

bool offscreen_composition = false;

constexpr const char* kStyleProperty = "bixiqin_extended_style";
constexpr const char* kKeyProperty = "bixiqin_colour_key";
constexpr const char* kGlassProperty = "bixiqin_glass_frame";

#ifdef BIXIQIN_HAVE_XLIB
bool x11_compositor_runs() {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->display() == nullptr) return false;
  Display* display = x11->display();
  const std::string name = "_NET_WM_CM_S" + std::to_string(DefaultScreen(display));
  const Atom selection = XInternAtom(display, name.c_str(), False);
  return selection != None && XGetSelectionOwner(display, selection) != None;
}
#else
bool x11_compositor_runs() { return false; }
#endif

QRgb rgb_of(std::uint32_t colour_bgr) {
  return qRgb(static_cast<int>(colour_bgr & 0xFF), static_cast<int>((colour_bgr >> 8) & 0xFF),
              static_cast<int>((colour_bgr >> 16) & 0xFF));
}

// The glass drawing follows the recorded state: it shows once the window is
// layered and has a key.
void refresh_glass(QWidget* w) {
  const bool layered = (w->property(kStyleProperty).toUInt() & kLayeredStyle) != 0;
  const QVariant key = w->property(kKeyProperty);
  if (!layered || !key.isValid()) {
    if (qobject_cast<GlassEffect*>(w->graphicsEffect()) != nullptr) w->setGraphicsEffect(nullptr);
    return;
  }
  auto* effect = qobject_cast<GlassEffect*>(w->graphicsEffect());
  if (effect == nullptr) {
    effect = new GlassEffect;
    w->setGraphicsEffect(effect);
  }
  effect->set_key(rgb_of(key.toUInt()));
  const QVariant glass = w->property(kGlassProperty);
  if (glass.isValid()) effect->set_glass(glass.value<QMargins>());
}

QWidget* top_level(std::uintptr_t handle) {
  QWidget* w = widget_for_handle(handle);
  return w != nullptr && w->isWindow() ? w : nullptr;
}

}  // namespace

bool query_composition(bool* enabled) {
  if (enabled == nullptr) return false;
  const QString platform = QGuiApplication::platformName();
  if (platform == QStringLiteral("offscreen")) {
    *enabled = offscreen_composition;
  } else if (platform == QStringLiteral("xcb")) {
    *enabled = x11_compositor_runs();
  } else if (platform.startsWith(QStringLiteral("wayland"))) {
    *enabled = true;
  } else {
    *enabled = false;
  }
  return true;
}

void set_offscreen_composition(bool on) { offscreen_composition = on; }

bool set_extended_style(std::uintptr_t window, std::uint32_t style) {
  QWidget* w = top_level(window);
  if (w == nullptr) return false;
  w->setProperty(kStyleProperty, QVariant::fromValue(style));
  // Translucency must be asked for before the native window exists, which
  // it does not yet while the window is still hidden after loading.
  w->setAttribute(Qt::WA_TranslucentBackground, (style & kLayeredStyle) != 0);
  // The window still paints its own background; only the colour key makes
  // pixels see-through.
  w->setAttribute(Qt::WA_NoSystemBackground, false);
  refresh_glass(w);
  return true;
}

std::uint32_t extended_style(std::uintptr_t window) {
  QWidget* w = top_level(window);
  return w != nullptr ? w->property(kStyleProperty).toUInt() : 0;
}

bool set_colour_key(std::uintptr_t window, std::uint32_t colour_bgr) {
  QWidget* w = top_level(window);
  if (w == nullptr) return false;
  w->setProperty(kKeyProperty, QVariant::fromValue(colour_bgr & 0x00FFFFFFu));
  refresh_glass(w);
  return true;
}

std::optional<std::uint32_t> colour_key(std::uintptr_t window) {
  QWidget* w = top_level(window);
  if (w == nullptr) return std::nullopt;
  const QVariant key = w->property(kKeyProperty);
  if (!key.isValid()) return std::nullopt;
  return key.toUInt();
}

bool extend_glass_frame(std::uintptr_t window, const Margins& m) {
  QWidget* w = top_level(window);
  if (w == nullptr) return false;
  w->setProperty(kGlassProperty, QVariant::fromValue(QMargins(m.left, m.top, m.right, m.bottom)));
  refresh_glass(w);
  return true;
}

std::optional<Margins> glass_frame(std::uintptr_t window) {
  QWidget* w = top_level(window);
  if (w == nullptr) return std::nullopt;
  const QVariant glass = w->property(kGlassProperty);
  if (!glass.isValid()) return std::nullopt;
  const QMargins q = glass.value<QMargins>();
  return Margins{q.left(), q.right(), q.top(), q.bottom()};
}

}  // namespace platform
