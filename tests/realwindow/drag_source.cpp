// Another X client to drag files from, as a file manager does: a small
// window captioned "drag source" that, on a press of the left button, drags
// the paths given on its command line as file addresses. On standard output,
// one line each: "pressed" when the drag starts, "action ACTION" whenever the
// window under the pointer changes its answer, and "result ACTION" when the
// drag has ended (ACTION is copy, move, link or none).
#include <QApplication>
#include <QDrag>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <xcb/xcb.h>

namespace {

const char* action_name(Qt::DropAction action) {
  switch (action) {
    case Qt::CopyAction:
      return "copy";
    case Qt::MoveAction:
      return "move";
    case Qt::LinkAction:
      return "link";
    default:
      return "none";
  }
}

void report(const char* what, const char* value = nullptr) {
  if (value != nullptr) {
    std::printf("%s %s\n", what, value);
  } else {
    std::printf("%s\n", what);
  }
  std::fflush(stdout);
}

// Waits until the X server has carried out every request sent so far. The
// drag lets go of the pointer in requests still queued when it returns: a
// click that someone makes on being told the drag ended must not find the
// pointer still held here.
void reach_the_server() {
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr) return;
  xcb_connection_t* connection = x11->connection();
  std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

class Source : public QWidget {
 public:
  explicit Source(QList<QUrl> urls) : urls_(std::move(urls)) {
    setWindowTitle(QStringLiteral("drag source"));
    setFixedSize(160, 100);
  }

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() != Qt::LeftButton) return;
    auto* data = new QMimeData;
    data->setUrls(urls_);
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    QObject::connect(drag, &QDrag::actionChanged, [](Qt::DropAction a) { report("action", action_name(a)); });
    report("pressed");
    // A file manager offers all three; the window dropped on picks.
    const Qt::DropAction result = drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::CopyAction);
    reach_the_server();
    report("result", action_name(result));
  }

 private:
  QList<QUrl> urls_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QList<QUrl> urls;
  // The file names' own bytes, whatever the locale.
  for (int i = 1; i < argc; ++i) urls.append(QUrl::fromLocalFile(QFile::decodeName(argv[i])));
  if (urls.isEmpty()) {
    std::fprintf(stderr, "usage: drag-source PATH...\n");
    return 2;
  }
  Source source(std::move(urls));
  source.move(20, 20);
  source.show();
  return app.exec();
}
