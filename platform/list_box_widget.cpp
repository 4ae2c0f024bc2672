#include "platform/list_box_widget.h"

#include <QTimerEvent>

#include "platform/list_scroll_bar.h"

namespace platform {

ListBoxWidget::ListBoxWidget(QWidget* parent) : QListWidget(parent) {
  // Rows are single lines of one font: without this the view measures every
  // row again after each append, which grows with the list.
  setUniformItemSizes(true);
  setVerticalScrollBar(new ListScrollBar(Qt::Vertical, this));
}

void ListBoxWidget::note(Pending change) {
  if (change == Pending::other) last_row_in_view_ = -1;
  if (change == Pending::other || pending_ == Pending::nothing) pending_ = change;
}

void ListBoxWidget::rowsInserted(const QModelIndex& parent, int start, int end) {
  // Appended below a full view: the row at the bottom edge, as of the last
  // layout, comes before the new ones. (Asking the view where a row is
  // would lay it out again first.)
  const bool hidden = last_row_in_view_ >= 0 && start > last_row_in_view_ && end + 1 == count();
  if (hidden && pending_ != Pending::other) {
    // The rows in sight keep their layout; the new ones are laid out a
    // moment later, once for all that arrive meanwhile. Laying out costs
    // time in proportion to the whole list, so once per row would make a
    // long run slow down as it goes.
    note(Pending::hidden_appends);
    QAbstractItemView::rowsInserted(parent, start, end);
    if (!layout_later_.isActive()) layout_later_.start(kLayoutDelayMs, this);
    return;
  }
  note(Pending::other);
  QListWidget::rowsInserted(parent, start, end);
}

void ListBoxWidget::timerEvent(QTimerEvent* event) {
  if (event->timerId() != layout_later_.timerId()) {
    QListWidget::timerEvent(event);
    return;
  }
  layout_later_.stop();
  if (pending_ != Pending::nothing) doItemsLayout();
}

void ListBoxWidget::doItemsLayout() {
  const bool quiet = pending_ == Pending::hidden_appends;
  pending_ = Pending::nothing;
  const QSize viewport_size = viewport()->size();
  // Updates off only for the length of the layout, set as an attribute so
  // that turning them back on does not ask for a repaint by itself.
  if (quiet) viewport()->setAttribute(Qt::WA_UpdatesDisabled, true);
  QListWidget::doItemsLayout();
  const QModelIndex bottom = indexAt(QPoint(0, viewport()->height() - 1));
  last_row_in_view_ = bottom.isValid() ? bottom.row() : -1;
  if (quiet) {
    viewport()->setAttribute(Qt::WA_UpdatesDisabled, false);
    // A scroll bar that just appeared narrows what the rows are drawn in.
    if (viewport()->size() != viewport_size) viewport()->update();
  }
}

void ListBoxWidget::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
  note(Pending::other);
  QListWidget::rowsAboutToBeRemoved(parent, start, end);
}

void ListBoxWidget::dataChanged(const QModelIndex& top_left, const QModelIndex& bottom_right,
                                const QList<int>& roles) {
  note(Pending::other);
  QListWidget::dataChanged(top_left, bottom_right, roles);
}

void ListBoxWidget::reset() {
  note(Pending::other);
  QListWidget::reset();
}

void ListBoxWidget::scrollContentsBy(int dx, int dy) {
  note(Pending::other);
  QListWidget::scrollContentsBy(dx, dy);
}

void ListBoxWidget::resizeEvent(QResizeEvent* event) {
  note(Pending::other);
  QListWidget::resizeEvent(event);
}

void ListBoxWidget::changeEvent(QEvent* event) {
  note(Pending::other);
  QListWidget::changeEvent(event);
}

}  // namespace platform
