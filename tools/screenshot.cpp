// Screenshots of the two windows, rendered offscreen and built as the program
// builds them: loaded from their own definitions, so that their created
// handlers run the effects step. Each window is taken with composition off
// (a desktop without a compositing manager) and on (the glass look), the
// answer switched on the offscreen platform; the glass is laid over a
// neutral backdrop so that its tint shows. Writes main-window.png,
// main-window-glass.png, about-window.png and about-window-glass.png into
// the folder given.
//   bixiqin-screenshot <folder>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/program_values.h"
#include "effects/version_vista.h"
#include "effects/window_effects.h"
#include "platform/composition.h"
#include "platform/qt/offscreen_composition.h"
#include "platform/qt/widget_handle.h"
#include "ui/about_window.h"
#include "ui/loader.h"
#include "ui/main_window.h"

namespace {

QImage over_backdrop(const QImage& window) {
  QImage out(window.size(), QImage::Format_ARGB32);
  QPainter p(&out);
  QLinearGradient backdrop(0, 0, 0, window.height());
  backdrop.setColorAt(0, QColor(0x5A, 0x64, 0x70));
  backdrop.setColorAt(1, QColor(0x2E, 0x34, 0x3B));
  p.fillRect(out.rect(), backdrop);
  p.drawImage(0, 0, window);
  return out;
}

bool shoot(const ui::窗口定义& definition, bool composition, const QString& path) {
  platform::set_offscreen_composition(composition);
  ui::窗口* window = ui::载入窗口(definition, false);
  if (window == nullptr) return false;
  QWidget* widget = platform::widget_for_handle(window->取窗口句柄());
  bool saved = false;
  if (widget != nullptr) {
    QApplication::processEvents();
    const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    saved = over_backdrop(image).save(path);
  }
  window->关闭();
  const std::uint32_t id = definition.标识;
  const bool closed = QTest::qWaitFor([id] { return ui::取已载入窗口(id) == nullptr; });
  return saved && closed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: bixiqin-screenshot <folder>\n");
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  特效对象 = std::make_unique<窗口特效>();
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  if (!folder.exists() && !QDir().mkpath(folder.path())) return 1;
  if (!是否Vista或更高()) {
    std::fprintf(stderr,
                 "bixiqin-screenshot: this system is too old for the window effects; "
                 "every picture shows the windows as defined\n");
  }

  struct Shot {
    const ui::窗口定义& definition;
    bool composition;
    const char* name;
  };
  const Shot shots[] = {{ui::主窗口定义(), false, "main-window.png"},
                        {ui::主窗口定义(), true, "main-window-glass.png"},
                        {ui::关于窗口定义(), false, "about-window.png"},
                        {ui::关于窗口定义(), true, "about-window-glass.png"}};
  int failures = 0;
  for (const Shot& s : shots) {
    const QString path = folder.filePath(QString::fromUtf8(s.name));
    if (shoot(s.definition, s.composition, path)) {
      std::printf("%s\n", qPrintable(path));
    } else {
      std::fprintf(stderr, "bixiqin-screenshot: could not write %s\n", qPrintable(path));
      ++failures;
    }
  }
  特效对象.reset();
  return failures == 0 ? 0 : 1;
}
