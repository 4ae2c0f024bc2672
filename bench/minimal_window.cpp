// The yardstick for the program's start: the least a Qt Widgets program
// does to show a window (one top-level widget with one button). Built twice:
// with a Latin caption, and with a Chinese one, which maps the CJK font as
// the program's own captions do.
#include <QApplication>
#include <QPushButton>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(400, 300);
#ifdef BIXIQIN_CHINESE_CAPTION
  QPushButton button(QStringLiteral("转换"), &window);
#else
  QPushButton button(QStringLiteral("OK"), &window);
#endif
  button.move(20, 20);
  window.show();
  return QApplication::exec();
}
