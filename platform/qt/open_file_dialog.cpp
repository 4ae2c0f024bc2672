#include "platform/open_file_dialog.h"

#include <dirent.h>

#include <QByteArrayView>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <QWidget>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/common/filter_pairs.h"
#include "platform/current_directory.h"
#include "platform/qt/qt_text.h"
#include "text/encoding_boundary.h"
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
  for (const auto& [label, pattern] : filter_pairs(list)) {
    // Several patterns are separated by ";" in the record, by blanks in Qt.
    QString patterns = to_qstring(pattern);
    patterns.replace(u';', u' ');
    filters << to_qstring(label) + QStringLiteral(" (") + patterns + u')';
  }
  return filters;
}

// A file whose name is not UTF-8 (an old archive's GBK name) is not listed
// by the dialog, and a typed name reaches only UTF-8 names. A typed name that
// names no file reaches the one entry of its folder that is not UTF-8 and
// reads as that name in GB18030: the full path's bytes, or nothing when no
// entry or more than one reads so.
std::optional<std::string> gbk_named_file(const QString& path) {
  const qsizetype slash = path.lastIndexOf(u'/');
  if (slash < 0 || slash + 1 == path.size()) return std::nullopt;
  const std::string folder = QFile::encodeName(path.left(slash)).toStdString();
  const QByteArray wanted = path.mid(slash + 1).toUtf8();
  DIR* dir = opendir(folder.empty() ? "/" : folder.c_str());
  if (!dir) return std::nullopt;
  std::optional<std::string> found;
  int readings = 0;
  while (const dirent* entry = readdir(dir)) {
    const std::string_view name(entry->d_name);
    // The dialog's own test for names it leaves out.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8.decode(QByteArrayView(name.data(), static_cast<qsizetype>(name.size())));
    if (!utf8.hasError()) continue;
    const std::optional<std::string> reading = text::gb18030_to_utf8(name);
    if (!reading || QByteArrayView(*reading) != QByteArrayView(wanted)) continue;
    ++readings;
    found = folder + '/' + std::string(name);
  }
  closedir(dir);
  if (readings != 1) return std::nullopt;
  return found;
}

// The stock dialog, which also takes typed names that reach GBK-named files.
class OpenDialog : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;

  // The chosen files as full paths in the file system's bytes.
  std::vector<std::string> chosen_paths() const {
    std::vector<std::string> paths;
    for (const QString& path : selectedFiles()) {
      const auto reached = reached_.find(path);
      paths.push_back(reached != reached_.end() ? reached->second : QFile::encodeName(path).toStdString());
    }
    return paths;
  }

 protected:
  // Qt refuses names it cannot find. When every such name reaches a
  // GBK-named file, and none of the others is a folder (which Qt would
  // open), the choice is taken as it is; otherwise Qt decides as ever.
  void accept() override {
    reached_.clear();
    for (const QString& path : selectedFiles()) {
      const QFileInfo info(path);
      std::optional<std::string> native;
      if (!info.exists()) native = gbk_named_file(path);
      if (info.isDir() || (!info.exists() && !native)) {
        reached_.clear();
        QFileDialog::accept();
        return;
      }
      if (native) reached_.emplace(path, std::move(*native));
    }
    if (reached_.empty()) {
      QFileDialog::accept();
    } else {
      QDialog::accept();
    }
  }

 private:
  std::map<QString, std::string> reached_;
};

// The chosen files as program texts. The caller joins them with "\r\n"
// and splits the joined text again, so a path holding "\r\n" would come
// back as other paths, naming files that were not chosen: it is left out.
std::vector<text::Text> program_paths(const std::vector<std::string>& native) {
  std::vector<text::Text> paths;
  for (const std::string& path : native) {
    text::Text program = text::from_utf8(path);
    if (program.find("\r\n") == text::Text::npos) paths.push_back(std::move(program));
  }
  return paths;
}

// The folder that holds every chosen file; for one file its own folder.
// Paths are absolute and clean, and "/" is never a byte of a GB18030
// character, so the separators are found byte by byte.
text::Text common_folder(const std::vector<text::Text>& paths) {
  auto parent = [](std::string_view path) {
    const std::size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string_view::npos ? text::Text("/") : text::Text(path.substr(0, slash));
  };
  text::Text folder = parent(paths.front());
  for (const text::Text& path : paths) {
    while (folder != "/" && !path.starts_with(folder + '/')) folder = parent(folder);
  }
  return folder;
}

// The answer in the record's buffer format.
std::string answer_bytes(const std::vector<text::Text>& paths, const text::Text& folder) {
  std::string answer;
  if (paths.size() == 1) {
    answer = paths.front();
    answer += '\0';
    return answer;
  }
  const std::size_t skip = folder.ends_with('/') ? folder.size() : folder.size() + 1;
  answer = folder;
  answer += '\0';
  for (const text::Text& path : paths) {
    answer.append(path, skip);
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
  QPointer<OpenDialog> dialog = new OpenDialog(owner, to_qstring(request.lpstrTitle), initial);
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
  const std::vector<text::Text> paths = program_paths(confirmed ? dialog->chosen_paths() : std::vector<std::string>());
  delete dialog;
  if (paths.empty()) return false;

  const text::Text folder = common_folder(paths);
  const std::string answer = answer_bytes(paths, folder);
  if (answer.size() > request.nMaxFile) return false;
  std::memcpy(request.lpstrFile, answer.data(), answer.size());
  // As the system dialog does on confirmation; the caller may put it back.
  set_current_directory(folder);
  return true;
}

}  // namespace platform
