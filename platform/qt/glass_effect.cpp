#include "platform/qt/glass_effect.h"

#include <QImage>
#include <QPainter>

namespace platform {

void GlassEffect::set_key(QRgb key) {
  key_ = key;
  update();
}

void GlassEffect::set_glass(const QMargins& margins) {
  glass_ = margins;
  update();
}

bool GlassEffect::in_glass(int x, int y, int width, int height) const {
  if (!glass_) return false;
  const QMargins& m = *glass_;
  if (m.left() < 0 || m.right() < 0 || m.top() < 0 || m.bottom() < 0) return true;
  return x < m.left() || x >= width - m.right() || y < m.top() || y >= height - m.bottom();
}

void GlassEffect::draw(QPainter* painter) {
  if (!key_) {
    drawSource(painter);
    return;
  }
  QPoint offset;
  const QPixmap source = sourcePixmap(Qt::DeviceCoordinates, &offset, QGraphicsEffect::NoPad);
  QImage image = source.toImage().convertToFormat(QImage::Format_ARGB32);
  const QRgb key = *key_ & 0x00FFFFFFu;
  const int w = image.width();
  const int h = image.height();
  for (int y = 0; y < h; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < w; ++x) {
      if (qAlpha(line[x]) != 0xFF || (line[x] & 0x00FFFFFFu) != key) continue;
      line[x] = in_glass(x + offset.x(), y + offset.y(), w, h) ? ((line[x] & 0x00FFFFFFu) | (kGlassAlpha << 24))
                                                                 : 0u;
    }
  }
  const QTransform restore = painter->worldTransform();
  painter->setWorldTransform(QTransform());
  painter->setCompositionMode(QPainter::CompositionMode_Source);
  painter->drawImage(offset, image);
  painter->setWorldTransform(restore);
}

}  // namespace platform
