#include "platform/open_file_dialog.h"

#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/qt_text.h"
#include "text/text.h"

namespace platform {
namespace {

using platform::to_qstring;

// The record's strings may be left out (null).
QString to_qstring(const char* gbk) { return gbk ? to_qstring(std::string_view(gbk)) : QString(); }

// The label/pattern pairs as Qt name filters, "label (patterns)"; the dialog
// hides the part in parentheses, so the user sees the label. A label
// without its pattern is dropped.
QStringList name_filters(const char* list) {
  QStringList filters;
  if (!list) return filters;
  while (*list) {
    const std::string_view label(list);
    list += label.size() + 1;
    if (!*list) break;
    const std::string_view pattern(list);
    list += pattern.size() + 1;
    // Several patterns are separated by ";" in the record, by blanks in Qt.
    QString patterns = to_qstring(pattern);
    patterns.replace(u';', u' ');
    filters << to_qstring(label) + QStringLiteral(" (") + patterns + u')';
  }
  return filters;
}

// The folder that holds every chosen file, with the paths below it; for
// one file its own folder. Paths from the dialog are absolute and clean.
QString common_folder(const QStringList& paths) {
  auto parent = [](const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
  };
  auto with_slash = [](const QString& folder) {
    return folder.endsWith(u'/') ? folder : folder + u'/';
  };
  QString folder = parent(paths.front());
  for (const QString& path : paths) {
    while (folder != u'/' && !path.startsWith(with_slash(folder))) folder = parent(folder);
  }
  return folder;
}

// The answer in the record's buffer format.
std::string answer_bytes(const QStringList& paths, const QString& folder) {
  std::string answer;
  if (paths.size() == 1) {
    answer = from_qstring(paths.front());
    answer += '\0';
    return answer;
  }
  const qsizetype skip = folder.endsWith(u'/') ? folder.size() : folder.size() + 1;
  answer = from_qstring(folder);
  answer += '\0';
  for (const QString& path : paths) {
    answer += from_qstring(path.mid(skip));
    answer += '\0';
  }
  answer += '\0';
  return answer;
}

}  // namespace

bool open_file_dialog(OpenFileRequest& request) {
  if (!request.lpstrFile || request.nMaxFile == 0) return false;

  QWidget* owner = nullptr;
  if (request.hwndOwner != 0) owner = QWidget::find(static_cast<WId>(request.hwndOwner));

  QString initial = to_qstring(request.lpstrInitialDir);
  if (initial.isEmpty()) initial = QDir::currentPath();

  // On the heap and watched: an owner that goes away takes the dialog along.
  QPointer<QFileDialog> dialog = new QFileDialog(owner, to_qstring(request.lpstrTitle), initial);
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  dialog->setOption(QFileDialog::HideNameFilterDetails);
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  // Qt can only take several files as existing ones, so typed names must
  // name existing files; the caller reads every chosen file anyway.
  dialog->setFileMode((request.Flags & kOpenAllowMultiSelect) ? QFileDialog::ExistingFiles
                                                              : QFileDialog::ExistingFile);
  const QStringList filters = name_filters(request.lpstrFilter);
  if (!filters.isEmpty()) {
    dialog->setNameFilters(filters);
    const qsizetype index = request.nFilterIndex > 0 ? request.nFilterIndex - 1 : 0;
    if (index < filters.size()) dialog->selectNameFilter(filters.at(index));
  }
  // Without an owner nothing waits for the dialog; with one, only the owner.
  dialog->setWindowModality(owner ? Qt::WindowModal : Qt::NonModal);

  QEventLoop loop;
  QObject::connect(dialog, &QDialog::finished, &loop, &QEventLoop::quit);
  QObject::connect(dialog, &QObject::destroyed, &loop, &QEventLoop::quit);
  dialog->show();
  loop.exec();

  if (!dialog) return false;
  const bool confirmed = dialog->result() == QDialog::Accepted;
  const QStringList paths = confirmed ? dialog->selectedFiles() : QStringList();
  delete dialog;
  if (paths.isEmpty()) return false;

  const QString folder = common_folder(paths);
  const std::string answer = answer_bytes(paths, folder);
  if (answer.size() > request.nMaxFile) return false;
  std::memcpy(request.lpstrFile, answer.data(), answer.size());
  // As the system dialog does on confirmation; the caller may put it back.
  QDir::setCurrent(folder);
  return true;
}

}  // namespace platform
