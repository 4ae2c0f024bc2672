#include "platform/qt/list_box_widget.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QTimerEvent>
#include <QToolTip>

#include "platform/qt/list_scroll_bar.h"

namespace platform {

namespace {

// Pale tints behind the text keep it black and readable; the bar stays in
// sight when the row is selected and its tint hidden under the highlight.
// None of these is the glass key colour (227, 237, 246), which the glass
// look would turn see-through.
struct MarkLook {
  QColor tint;
  QColor bar;
};
constexpr int kBarWidth = 2;

const MarkLook* look_of(ItemMark mark) {
  static const MarkLook failed{QColor(251, 227, 227), QColor(192, 57, 43)};
  static const MarkLook warning{QColor(253, 241, 214), QColor(214, 137, 16)};
  switch (mark) {
    case ItemMark::failed: return &failed;
    case ItemMark::warning: return &warning;
    case ItemMark::none: break;
  }
  return nullptr;
}

ItemMark mark_at(const QModelIndex& index) {
  return static_cast<ItemMark>(index.data(ListBoxWidget::kMarkRole).toInt());
}

class RowMarks final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QStyledItemDelegate::paint(painter, option, index);
    if (const MarkLook* look = look_of(mark_at(index))) {
      const QRect& r = option.rect;
      painter->fillRect(QRect(r.left(), r.top(), kBarWidth, r.height()), look->bar);
    }
  }

  // The tooltip is a file's reason or path, never markup: a name holding
  // "<b>" would otherwise turn it into rich text and lose its double blanks.
  // Shown as plain text it is one line per line of its own, wrapped only
  // where wider than the screen; rich text the tooltip wraps at a narrow
  // width of its own, inside words and names.
  // Text that would be taken for markup, as markup that shows it as it is:
  // every character escaped, blanks that neither collapse nor break, its
  // own line breaks only.
  static QString as_unbroken_markup(const QString& tip) {
    // A table's cell is as wide as its longest unbreakable line: the
    // tooltip's own narrow guess at a width cannot squeeze it.
    QString out = QStringLiteral("<table cellspacing=0 cellpadding=0><tr><td style='white-space:pre'>");
    out += tip.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    out += QStringLiteral("</td></tr></table>");
    return out;
  }

  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override {
    if (event == nullptr || event->type() != QEvent::ToolTip) {
      return QStyledItemDelegate::helpEvent(event, view, option, index);
    }
    const QString tip = index.isValid() ? index.data(Qt::ToolTipRole).toString() : QString();
    const QString shown = Qt::mightBeRichText(tip) ? as_unbroken_markup(tip) : tip;
    QToolTip::showText(event->globalPos(), shown, view, option.rect);
    event->setAccepted(!tip.isEmpty());
    return true;
  }

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    if (const MarkLook* look = look_of(mark_at(index))) option->backgroundBrush = look->tint;
  }
};

// Roles that change how a row looks or what its tooltip says, but not its
// text or its size.
bool only_look(const QList<int>& roles) {
  if (roles.isEmpty()) return false;
  for (const int role : roles) {
    if (role != Qt::ToolTipRole && role != ListBoxWidget::kMarkRole) return false;
  }
  return true;
}

}  // namespace

ListBoxWidget::ListBoxWidget(QWidget* parent) : QListWidget(parent) {
  // Rows are single lines of one font: without this the view measures every
  // row again after each append, which grows with the list.
  setUniformItemSizes(true);
  setVerticalScrollBar(new ListScrollBar(Qt::Vertical, this));
  setItemDelegate(new RowMarks(this));
}

void ListBoxWidget::set_mark(int row, ItemMark mark, const QString& tooltip) {
  QListWidgetItem* it = item(row);
  if (it == nullptr) return;
  if (mark != ItemMark::none || !tooltip.isEmpty()) may_have_marks_ = true;
  if (it->data(kMarkRole).toInt() != static_cast<int>(mark)) it->setData(kMarkRole, static_cast<int>(mark));
  if (it->toolTip() != tooltip) it->setToolTip(tooltip);
}

void ListBoxWidget::clear_marks() {
  if (!may_have_marks_) return;
  for (int row = 0; row < count(); ++row) set_mark(row, ItemMark::none, QString());
  may_have_marks_ = false;
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
  // A tooltip is not drawn: a run sets one on two rows per file.
  if (roles.size() == 1 && roles.front() == Qt::ToolTipRole) return;
  if (only_look(roles)) {
    // The list view would lay out every row again for any change, once per
    // file of a run; a mark or a tooltip moves no row, so only the row is
    // repainted.
    QAbstractItemView::dataChanged(top_left, bottom_right, roles);
    return;
  }
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
