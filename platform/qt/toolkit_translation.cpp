#include "platform/toolkit_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace platform {

bool load_toolkit_translations() {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) return false;
  // Owned by the application, so it lives as long as the texts are shown.
  auto* translator = new QTranslator(app);
  if (!translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace platform
