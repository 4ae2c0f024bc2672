#include "platform/window.h"

#include <QApplication>
#include <QEventLoop>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QPointer>
#include <algorithm>

#include "platform/colour.h"
#include "platform/qt/control_impl.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/widget_handle.h"
#include "platform/qt/window_widget.h"

// The icon lives in a resource compiled into the platform library; a static
// library's resource is linked only when something names it.
static void link_program_resources() { Q_INIT_RESOURCE(resources); }

namespace platform {

struct Window::Impl {
  QPointer<WindowWidget> widget;
  std::vector<std::unique_ptr<ControlImpl>> controls;
  std::function<void()> destroyed_handler;
  std::uint32_t background = kButtonFace;
};

namespace {

std::vector<Window*>& registry() {
  static std::vector<Window*> windows;
  return windows;
}

Qt::WindowFlags flags_for(const WindowStyle& s) {
  // An owned window is a dialog to the window system: that is the kind it
  // keeps above its owner.
  Qt::WindowFlags f = (s.owned ? Qt::Dialog : Qt::Window) | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (s.system_menu) f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  if (s.minimize_box) f |= Qt::WindowMinimizeButtonHint;
  if (s.maximize_box) f |= Qt::WindowMaximizeButtonHint;
  if (!s.in_taskbar) f |= Qt::Tool;
  if (s.always_on_top) f |= Qt::WindowStaysOnTopHint;
  return f;
}

}  // namespace

std::unique_ptr<Window> Window::create_hidden(const WindowStyle& style) {
  auto impl = std::make_unique<Impl>();
  impl->widget = new WindowWidget(flags_for(style));
  std::unique_ptr<Window> window(new Window(std::move(impl)));
  Window* self = window.get();
  registry().push_back(self);
  QObject::connect(self->impl_->widget, &QObject::destroyed, [self] {
    // The widget is being destroyed right now: never delete it again.
    self->impl_->widget = nullptr;
    auto& all = registry();
    all.erase(std::remove(all.begin(), all.end(), self), all.end());
    if (auto handler = std::move(self->impl_->destroyed_handler)) handler();
  });
  return window;
}

Window::Window(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Window::~Window() {
  auto& all = registry();
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
  impl_->destroyed_handler = nullptr;
  if (impl_->widget) delete impl_->widget.data();
}

bool Window::exists() const { return !impl_->widget.isNull(); }

void Window::set_object_name(std::string_view utf8) {
  if (impl_->widget) {
    impl_->widget->setObjectName(
        QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
  }
}

void Window::set_caption(std::string_view gbk) {
  if (impl_->widget) impl_->widget->setWindowTitle(to_qstring(gbk));
}

void Window::set_outer_rect(const Rect& r) {
  if (impl_->widget) impl_->widget->set_outer_rect(r);
}

Rect Window::outer_rect() const {
  if (!impl_->widget) return {};
  return impl_->widget->outer_rect();
}

Rect Window::client_rect() const {
  if (!impl_->widget) return {};
  const QRect g = impl_->widget->geometry();
  return {g.left(), g.top(), g.width(), g.height()};
}

void Window::set_program_icon() {
  if (!impl_->widget) return;
  link_program_resources();
  // Read as PNG and nothing else: left to guess, Qt loads every image
  // plugin it has to ask whether the file is theirs (four shared objects
  // and 0.2-0.3 MiB of the idle window, for one known PNG).
  QImageReader reader(QStringLiteral(":/icons/bixiqin-48.png"), "png");
  reader.setAutoDetectImageFormat(false);
  const QIcon icon(QPixmap::fromImage(reader.read()));
  impl_->widget->setWindowIcon(icon);
  QApplication::setWindowIcon(icon);
}

void Window::set_default_font() {
  if (impl_->widget) impl_->widget->setFont(QApplication::font());
}

Control& Window::create_control(const ControlOptions& options) {
  impl_->controls.push_back(std::make_unique<ControlImpl>(impl_->widget.data(), options));
  return *impl_->controls.back();
}

void Window::restack(const std::vector<Control*>& top_first) {
  // Raising from the bottom up leaves the first one on top.
  for (auto it = top_first.rbegin(); it != top_first.rend(); ++it) {
    if (auto* c = static_cast<ControlImpl*>(*it); c->widget() != nullptr) c->widget()->raise();
  }
}

void Window::set_focus_chain(const std::vector<Control*>& chain) {
  if (!impl_->widget) return;
  std::vector<QPointer<QWidget>> widgets;
  for (Control* c : chain) widgets.emplace_back(static_cast<ControlImpl*>(c)->widget());
  impl_->widget->set_focus_chain(std::move(widgets));
}

void Window::set_esc_closes(bool on) {
  if (impl_->widget) impl_->widget->set_esc_closes(on);
}

void Window::set_drag_to_move(bool on) {
  if (impl_->widget) impl_->widget->set_drag_to_move(on);
}

void Window::set_owner(const Window& owner) {
  if (impl_->widget && owner.impl_->widget) impl_->widget->set_owner(owner.impl_->widget);
}

void Window::show_and_activate() {
  if (!impl_->widget) return;
  impl_->widget->show();
  impl_->widget->raise();
  impl_->widget->activateWindow();
}

bool Window::visible() const { return impl_->widget && impl_->widget->isVisible(); }

bool Window::active() const { return impl_->widget && impl_->widget->isActiveWindow(); }

void Window::bring_to_front() {
  if (!impl_->widget) return;
  if (impl_->widget->isMinimized()) impl_->widget->showNormal();
  impl_->widget->raise();
  impl_->widget->activateWindow();
}

void Window::request_close() {
  if (impl_->widget) impl_->widget->close();
}

void Window::set_accepts_input(bool on) {
  if (impl_->widget) impl_->widget->set_accepts_input(on);
}

bool Window::accepts_input() const { return impl_->widget && impl_->widget->accepts_input(); }

std::uint32_t Window::background_colour() const { return impl_->background; }

void Window::set_background_colour(std::uint32_t colour_bgr) {
  impl_->background = colour_bgr;
  if (impl_->widget) paint_background(impl_->widget, colour_bgr);
}

// The widget's identity, not its window-system id: asking for that would
// create the native window before translucency can still be chosen.
std::uintptr_t Window::native_handle() const { return impl_->widget ? handle_of(impl_->widget) : 0; }

void Window::set_keep_frame_active(bool on) {
  if (impl_->widget) impl_->widget->set_keep_frame_active(on);
}

void Window::on_files_dropped(std::function<void()> handler) {
  if (impl_->widget) impl_->widget->set_drop_handler(std::move(handler));
}

const std::vector<text::Text>& Window::dropped_paths() const {
  static const std::vector<text::Text> none;
  return impl_->widget ? impl_->widget->dropped_paths() : none;
}

void Window::on_closing(std::function<void()> handler) {
  if (impl_->widget) impl_->widget->set_closing_handler(std::move(handler));
}

void Window::on_destroyed(std::function<void()> handler) {
  impl_->destroyed_handler = std::move(handler);
}

void Window::run_loop_until_destroyed() {
  if (!impl_->widget) return;
  QEventLoop loop;
  // Connected after the window's own destroyed handler, so the loop ends
  // once that handler has run.
  QObject::connect(impl_->widget, &QObject::destroyed, &loop, &QEventLoop::quit);
  loop.exec(QEventLoop::AllEvents);
}

std::vector<Window*> open_windows() { return registry(); }

}  // namespace platform
