// Prints a picture as _NET_WM_ICON holds it: width, height, then each pixel
// as a non-premultiplied 0xAARRGGBB number, row by row, comma-separated.
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: png-argb FILE\n");
    return 2;
  }
  const QImage image = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_ARGB32);
  if (image.isNull()) return 1;
  std::printf("%d, %d", image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) std::printf(", %u", static_cast<unsigned>(image.pixel(x, y)));
  }
  std::printf("\n");
  return 0;
}
