#include "platform/qt/window_widget.h"

#include <QApplication>
#include <QByteArray>
#include <QCloseEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <optional>
#include <string_view>

#include "text/encoding_boundary.h"

namespace platform {

WindowWidget::WindowWidget(Qt::WindowFlags flags) : QWidget(nullptr, flags) {
  setAttribute(Qt::WA_DeleteOnClose);
  qApp->installEventFilter(this);
}

void WindowWidget::set_outer_rect(const Rect& r) {
  outer_ = r;
  const QSize frame = frameGeometry().size() - size();
  if (frame_known_) {
    apply_outer_rect(frame.width(), frame.height());
  } else {
    apply_outer_rect(kAssumedFrameWidth, kAssumedFrameHeight);
  }
}

void WindowWidget::apply_outer_rect(int frame_width, int frame_height) {
  setFixedSize(outer_.width - frame_width, outer_.height - frame_height);
  move(outer_.left, outer_.top);
}

bool WindowWidget::event(QEvent* e) {
  switch (e->type()) {
    case QEvent::WindowActivate:
      // The window manager activated a window that takes no input (a click
      // on it, for one): the window it waits for comes forward instead.
      if (!accepts_input_) bring_owned_forward();
      break;
    case QEvent::Show:
      // Sent before the window is mapped: the window system learns the
      // owner together with the window.
      if (owner_ && owner_->windowHandle() && windowHandle()) {
        windowHandle()->setTransientParent(owner_->windowHandle());
      }
      [[fallthrough]];
    case QEvent::Move:
    case QEvent::Resize:
      // Once the window manager has framed the window, fit the frame to the
      // defined outer size.
      if (!frame_known_ && isVisible() && frameGeometry().size() != size()) {
        frame_known_ = true;
        const QSize frame = frameGeometry().size() - size();
        apply_outer_rect(frame.width(), frame.height());
      }
      break;
    default:
      break;
  }
  return QWidget::event(e);
}

// The frame itself belongs to the window manager; what can be kept active is
// the content: its inactive colours follow the active ones.
void WindowWidget::apply_frame_palette() {
  const bool keep = keep_frame_active_ && accepts_input_;
  if (!keep && !frame_palette_changed_) return;
  frame_palette_changed_ = keep;
  QPalette p = palette();
  const QPalette& system = QApplication::palette();
  for (int r = 0; r < QPalette::NColorRoles; ++r) {
    const auto role = static_cast<QPalette::ColorRole>(r);
    // The background colour is the window's own in every state.
    if (role == QPalette::Window) continue;
    p.setBrush(QPalette::Inactive, role,
               keep ? p.brush(QPalette::Active, role) : system.brush(QPalette::Inactive, role));
  }
  setPalette(p);
}

void WindowWidget::bring_owned_forward() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* owned = qobject_cast<WindowWidget*>(w);
    if (owned == nullptr || owned->owner_ != this || !owned->isVisible() || !owned->accepts_input_) continue;
    // After the activation that is under way has been handled.
    QTimer::singleShot(0, owned, [owned] {
      owned->raise();
      owned->activateWindow();
    });
    return;
  }
}

bool WindowWidget::is_ours(QObject* o) const {
  auto* w = qobject_cast<QWidget*>(o);
  return w != nullptr && w->window() == this;
}

bool WindowWidget::eventFilter(QObject* watched, QEvent* e) {
  if (!is_ours(watched)) return false;
  switch (e->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::ContextMenu:
      if (!accepts_input_) {
        if (e->type() == QEvent::MouseButtonPress) bring_owned_forward();
        return true;
      }
      break;
    default:
      return false;
  }
  if (e->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(e);
    if (esc_closes_ && key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
      close();
      return true;
    }
  }
  return false;
}

bool WindowWidget::focusNextPrevChild(bool next) {
  const int n = static_cast<int>(chain_.size());
  if (n == 0) return true;
  int at = -1;
  for (int i = 0; i < n; ++i) {
    if (chain_[i] && chain_[i] == focusWidget()) at = i;
  }
  for (int step = 1; step <= n; ++step) {
    int i = at < 0 ? (next ? step - 1 : n - step) : (at + (next ? step : -step) + n) % n;
    QWidget* w = chain_[i];
    if (w != nullptr && w->isVisible() && w->isEnabled()) {
      w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
      return true;
    }
  }
  return true;
}

void WindowWidget::closeEvent(QCloseEvent* e) {
  // A window that takes no input (another window is modal) cannot be closed
  // by the user; otherwise nothing refuses a close.
  if (accepts_input_) {
    e->accept();
    if (closing_) closing_();
  } else {
    e->ignore();
  }
}

// A press only arms the move: handing a plain click to the window manager
// would leave it moving the window with no button held.
void WindowWidget::mousePressEvent(QMouseEvent* e) {
  if (drag_to_move_ && e->button() == Qt::LeftButton) {
    move_armed_ = true;
    manual_drag_ = false;
    press_at_ = e->globalPosition().toPoint();
    drag_offset_ = press_at_ - frameGeometry().topLeft();
    e->accept();
    return;
  }
  QWidget::mousePressEvent(e);
}

void WindowWidget::mouseMoveEvent(QMouseEvent* e) {
  if (move_armed_ && !(e->buttons() & Qt::LeftButton)) move_armed_ = false;
  if (move_armed_ &&
      (e->globalPosition().toPoint() - press_at_).manhattanLength() >= QApplication::startDragDistance()) {
    move_armed_ = false;
    QWindow* handle = windowHandle();
    // No window manager to hand the move to: follow the mouse ourselves.
    manual_drag_ = handle == nullptr || !handle->startSystemMove();
  }
  if (manual_drag_) {
    move(e->globalPosition().toPoint() - drag_offset_);
    outer_.left = frameGeometry().left();
    outer_.top = frameGeometry().top();
    e->accept();
    return;
  }
  if (move_armed_) {
    e->accept();
    return;
  }
  QWidget::mouseMoveEvent(e);
}

void WindowWidget::mouseReleaseEvent(QMouseEvent* e) {
  move_armed_ = false;
  manual_drag_ = false;
  QWidget::mouseReleaseEvent(e);
}

namespace {

// A local file's path in the program's text. The path's own bytes are taken
// from the address: a name that is not UTF-8 comes percent-encoded, and a
// QString would turn those bytes into U+FFFD.
std::optional<text::Text> local_path(const QUrl& url) {
  if (!url.isLocalFile()) return std::nullopt;
  const QString host = url.host();
  if (!host.isEmpty() && host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) != 0) {
    return std::nullopt;
  }
  const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
  if (!bytes.startsWith('/')) return std::nullopt;
  return text::from_utf8(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

std::vector<text::Text> local_paths(const QMimeData* data) {
  std::vector<text::Text> paths;
  if (data == nullptr || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls()) {
    if (auto path = local_path(url)) paths.push_back(std::move(*path));
  }
  return paths;
}

}  // namespace

std::vector<text::Text> WindowWidget::droppable_paths(const QMimeData* data) const {
  if (!dropped_handler_ || !accepts_input_) return {};
  return local_paths(data);
}

// Entering is a first move: both are answered alike.
void WindowWidget::dragEnterEvent(QDragEnterEvent* e) { dragMoveEvent(e); }

void WindowWidget::dragMoveEvent(QDragMoveEvent* e) {
  if (!droppable_paths(e->mimeData()).empty()) {
    e->setDropAction(Qt::CopyAction);
    e->accept();
  } else {
    e->ignore();
  }
}

void WindowWidget::dropEvent(QDropEvent* e) {
  std::vector<text::Text> paths = droppable_paths(e->mimeData());
  if (paths.empty()) {
    e->ignore();
    return;
  }
  e->setDropAction(Qt::CopyAction);
  e->accept();
  dropped_ = std::move(paths);
  // The handler may close the window, and this object with it.
  const std::function<void()> handler = dropped_handler_;
  QPointer<WindowWidget> self(this);
  handler();
  if (self) dropped_.clear();
}

}  // namespace platform
