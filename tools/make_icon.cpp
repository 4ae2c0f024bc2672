// Draws the program's icon: a jade-green zither body with strings over a
// stream of light blue, at the sizes the desktop asks for. Writes PNGs into
// the folder given as the only argument (the committed data/icons/).
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

QImage draw(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 48.0, size / 48.0);

  // Rounded tile: a stream from deep to light blue.
  QLinearGradient water(0, 0, 0, 48);
  water.setColorAt(0, QColor(0x2b, 0x7a, 0x9e));
  water.setColorAt(1, QColor(0x9f, 0xd8, 0xe6));
  p.setPen(Qt::NoPen);
  p.setBrush(water);
  p.drawRoundedRect(QRectF(2, 2, 44, 44), 9, 9);

  // The zither's body, lying slanted across the tile.
  p.save();
  p.translate(24, 25);
  p.rotate(-18);
  QPainterPath body;
  body.addRoundedRect(QRectF(-19, -7, 38, 14), 6, 6);
  QLinearGradient jade(0, -7, 0, 7);
  jade.setColorAt(0, QColor(0x4c, 0xb8, 0x7a));
  jade.setColorAt(1, QColor(0x1d, 0x6b, 0x45));
  p.setBrush(jade);
  p.setPen(QPen(QColor(0x0f, 0x3d, 0x27), 0.8));
  p.drawPath(body);
  p.setPen(QPen(QColor(0xf4, 0xf0, 0xd8), 0.6));
  for (int i = 0; i < 5; ++i) {
    const double y = -4.8 + i * 2.4;
    p.drawLine(QPointF(-16, y), QPointF(16, y));
  }
  p.setBrush(QColor(0xe8, 0xc5, 0x6a));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(-14, 0), 1.6, 1.6);
  p.restore();

  // A ripple under it.
  p.setPen(QPen(QColor(255, 255, 255, 170), 1.4));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(9, 35, 14, 6), 0, 180 * 16);
  p.drawArc(QRectF(25, 37, 14, 6), 0, 180 * 16);
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: bixiqin-make-icon OUTPUT_FOLDER\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  for (int size : {48, 128, 256}) {
    const QString name = out.filePath(QStringLiteral("bixiqin-%1.png").arg(size));
    if (!draw(size).save(name)) {
      std::fprintf(stderr, "cannot write %s\n", name.toLocal8Bit().constData());
      return 1;
    }
  }
  return 0;
}
