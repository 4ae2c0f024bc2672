#include "platform/qt/list_scroll_bar.h"

#include <QStyle>
#include <QStyleOptionSlider>

namespace platform {

ListScrollBar::Look ListScrollBar::look() const {
  QStyleOptionSlider option;
  initStyleOption(&option);
  Look now;
  now.handle = style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
  // The arrows are drawn disabled at either end.
  now.at_start = value() <= minimum();
  now.at_end = value() >= maximum();
  return now;
}

void ListScrollBar::sliderChange(SliderChange change) {
  if (change == SliderRangeChange && painted_ && look() == painted_look_) return;
  QScrollBar::sliderChange(change);
}

void ListScrollBar::paintEvent(QPaintEvent* event) {
  QScrollBar::paintEvent(event);
  painted_ = true;
  painted_look_ = look();
}

}  // namespace platform
