#pragma once
// The list box's scroll bar. A plain scroll bar repaints whenever its range
// changes, which during a batch run is once per file; past a few hundred
// rows its handle no longer moves by a pixel. This one repaints a range
// change only when something it draws has changed.
#include <QRect>
#include <QScrollBar>

namespace platform {

class ListScrollBar final : public QScrollBar {
  Q_OBJECT
 public:
  explicit ListScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr)
      : QScrollBar(orientation, parent) {}

 protected:
  void sliderChange(SliderChange change) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  // What a range change can alter in the drawing.
  struct Look {
    QRect handle;
    bool at_start = false;
    bool at_end = false;
    bool operator==(const Look&) const = default;
  };
  Look look() const;

  bool painted_ = false;
  Look painted_look_;
};

}  // namespace platform
