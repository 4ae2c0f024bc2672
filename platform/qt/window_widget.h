#pragma once
// The Qt widget behind a top-level window: keys, focus walk, drag-to-move,
// refusing input while another window is modal, the owned window kept in
// front, dropped files, and the outer size rule.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

#include "platform/window.h"
#include "text/text.h"

class QMimeData;

namespace platform {

class WindowWidget : public QWidget {
  Q_OBJECT
 public:
  explicit WindowWidget(Qt::WindowFlags flags);

  void set_outer_rect(const Rect& r);
  Rect outer_rect() const { return outer_; }
  void set_focus_chain(std::vector<QPointer<QWidget>> chain) { chain_ = std::move(chain); }
  void set_esc_closes(bool on) { esc_closes_ = on; }
  void set_drag_to_move(bool on) { drag_to_move_ = on; }
  void set_accepts_input(bool on) {
    accepts_input_ = on;
    apply_frame_palette();
  }
  void set_keep_frame_active(bool on) {
    keep_frame_active_ = on;
    apply_frame_palette();
  }
  bool accepts_input() const { return accepts_input_; }
  void set_closing_handler(std::function<void()> h) { closing_ = std::move(h); }
  void set_owner(WindowWidget* owner) { owner_ = owner; }
  void set_drop_handler(std::function<void()> h) {
    dropped_handler_ = std::move(h);
    setAcceptDrops(static_cast<bool>(dropped_handler_));
  }
  const std::vector<text::Text>& dropped_paths() const { return dropped_; }

  // Frame size that a fixed single border and a title bar take when the
  // window system does not tell: 605 x 363 outside is 599 x 335 inside.
  static constexpr int kAssumedFrameWidth = 6;
  static constexpr int kAssumedFrameHeight = 28;

 protected:
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  bool focusNextPrevChild(bool next) override;
  void closeEvent(QCloseEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  void apply_outer_rect(int frame_width, int frame_height);
  bool is_ours(QObject* o) const;
  void apply_frame_palette();
  void bring_owned_forward();
  // The local files a drop of `data` would add; none when the window takes
  // no drop now.
  std::vector<text::Text> droppable_paths(const QMimeData* data) const;

  Rect outer_;
  bool frame_known_ = false;
  std::vector<QPointer<QWidget>> chain_;
  bool esc_closes_ = false;
  bool drag_to_move_ = false;
  bool accepts_input_ = true;
  bool keep_frame_active_ = false;
  bool frame_palette_changed_ = false;
  // Pressed where a drag moves the window, not yet dragged far enough.
  bool move_armed_ = false;
  QPoint press_at_;
  bool manual_drag_ = false;
  QPoint drag_offset_;
  std::function<void()> closing_;
  QPointer<WindowWidget> owner_;
  std::function<void()> dropped_handler_;
  std::vector<text::Text> dropped_;
};

}  // namespace platform
