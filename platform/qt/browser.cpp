#include "platform/browser.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <optional>

#include "platform/qt/qt_text.h"

namespace platform {
namespace {
// xdg-open hands the address on and ends; with no browser it ends at once
// with an error. One that is still running after this long is a browser
// started in its stead, or an opener that waits for it: a success.
constexpr int kWaitForOpenerMs = 1500;
}  // namespace

bool start_browser(std::string_view gbk_address) {
  // Owned by the application, so that an opener still running when this
  // returns is neither waited for nor ended; it goes once it ends.
  auto* opener = new QProcess(QCoreApplication::instance());
  opener->setProgram(QStringLiteral("xdg-open"));
  opener->setArguments(QStringList{to_qstring(gbk_address)});
  opener->setProcessChannelMode(QProcess::ForwardedChannels);
  auto ended = std::make_shared<std::optional<bool>>();  // whether it ended well
  QObject::connect(opener, &QProcess::finished, opener, [opener, ended](int code, QProcess::ExitStatus status) {
    *ended = status == QProcess::NormalExit && code == 0;
    opener->deleteLater();
  });
  opener->start();
  if (!opener->waitForStarted(-1)) {
    delete opener;
    return false;
  }
  if (!ended->has_value()) {
    // The windows are painted meanwhile; what the user does waits.
    QEventLoop wait;
    QTimer::singleShot(kWaitForOpenerMs, &wait, &QEventLoop::quit);
    QObject::connect(opener, &QProcess::finished, &wait, &QEventLoop::quit);
    wait.exec(QEventLoop::ExcludeUserInputEvents);
  }
  return ended->value_or(true);
}

}  // namespace platform
