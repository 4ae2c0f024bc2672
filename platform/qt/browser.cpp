#include "platform/browser.h"

#include <QProcess>
#include <QStringList>

#include "platform/qt/qt_text.h"

namespace platform {

bool start_browser(std::string_view gbk_address) {
  // A detached start returns once the program has been executed (or has
  // failed to be), which is the "ready" moment we can know here.
  return QProcess::startDetached(QStringLiteral("xdg-open"), QStringList{to_qstring(gbk_address)});
}

}  // namespace platform
