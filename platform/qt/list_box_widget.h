#pragma once
// The list box. A plain list view lays out the whole list and repaints
// everything it shows whenever a row is added, even one below the visible
// rows; a batch run adds a row per file. This one leaves the visible rows
// alone when the only change is rows appended out of sight, and lays those
// out a moment later, together (the scroll bar follows then).
//
// A row can carry a mark (a pale tint and a thin bar at its left edge) and
// a tooltip, shown as plain text whatever it holds.
#include <QBasicTimer>
#include <QListWidget>

#include "platform/control.h"

namespace platform {

class ListBoxWidget final : public QListWidget {
  Q_OBJECT
 public:
  explicit ListBoxWidget(QWidget* parent);

  // Where a row keeps its mark (an ItemMark as int).
  static constexpr int kMarkRole = Qt::UserRole + 1;

  // Neither changes the row's text or its size.
  void set_mark(int row, ItemMark mark, const QString& tooltip);
  void clear_marks();

  void doItemsLayout() override;

 protected:
  void rowsInserted(const QModelIndex& parent, int start, int end) override;
  void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
  void dataChanged(const QModelIndex& top_left, const QModelIndex& bottom_right,
                   const QList<int>& roles) override;
  void reset() override;
  void scrollContentsBy(int dx, int dy) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  enum class Pending { nothing, hidden_appends, other };
  void note(Pending change);

  static constexpr int kLayoutDelayMs = 25;

  Pending pending_ = Pending::nothing;
  QBasicTimer layout_later_;
  // The row at the bottom edge of the view after the last layout; -1 when
  // unknown or when the rows end above that edge.
  int last_row_in_view_ = -1;
  // Whether any row may hold a mark or a tooltip: a list filled since the
  // last clearing of marks has none, and a run starts by clearing them.
  bool may_have_marks_ = false;
};

}  // namespace platform
