#include "platform/message_box.h"

#include <QMessageBox>

#include "platform/qt/qt_text.h"

namespace platform {

void message_box(std::string_view gbk_text, std::string_view gbk_title, MessageIcon icon) {
  QMessageBox box(icon == MessageIcon::error ? QMessageBox::Critical : QMessageBox::NoIcon,
                  to_qstring(gbk_title), to_qstring(gbk_text), QMessageBox::Ok);
  box.setObjectName(QStringLiteral("bixiqin-message-box"));
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace platform
