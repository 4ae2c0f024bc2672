#pragma once
// The one place where the program's GBK-family bytes meet Qt's strings.
#include <QString>

#include "text/encoding_boundary.h"
#include "text/text.h"

namespace platform {

// A file name's stray bytes (not UTF-8) come back raw from to_utf8, and Qt
// shows each of them as U+FFFD.
inline QString to_qstring(std::string_view gbk) {
  const std::string utf8 = text::to_utf8(gbk);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline text::Text from_qstring(const QString& s) {
  const QByteArray utf8 = s.toUtf8();
  return text::from_utf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace platform
