#include "platform/open_file_dialog.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/common/filter_pairs.h"
#include "platform/current_directory.h"
#include "platform/win32/wide_text.h"
#include "text/encoding_boundary.h"

namespace platform {
namespace {

// What the record's size says when it is the older record, without its
// three trailing fields (no places bar then).
constexpr std::uint32_t kOlderRecordSize = 76;

// Labels, titles and patterns are read, never used as names: bytes that
// are no GB18030 character show as U+FFFD. A null text stays null.
std::optional<std::wstring> shown(const char* gbk) {
  if (gbk == nullptr) return std::nullopt;
  return win32::wide_from_utf8(text::to_utf8(gbk));
}

// The label/pattern list, each part ended by a zero and the list by one
// more. A label without its pattern is dropped. Null when there is none.
std::optional<std::wstring> filter_list(const char* list) {
  std::wstring wide;
  for (const auto& [label, pattern] : filter_pairs(list)) {
    wide += win32::wide_from_utf8(text::to_utf8(label)) + L'\0';
    wide += win32::wide_from_utf8(text::to_utf8(pattern)) + L'\0';
  }
  if (wide.empty()) return std::nullopt;
  return wide + L'\0';
}

// The system's answer in the record's format, in GB18030, and the folder
// of the chosen files; nothing when the folder has no GB18030 form or no
// chosen name has one. A name with an unpaired surrogate is left out:
// nothing else could stand for it without naming another file, or none.
struct Answer {
  std::string bytes;
  text::Text folder;
};

std::optional<Answer> answer_of(const std::vector<wchar_t>& buffer) {
  // The parts up to the first empty one.
  std::vector<std::wstring_view> parts;
  for (std::size_t at = 0; at < buffer.size() && buffer[at] != L'\0';) {
    std::size_t end = at;
    while (end < buffer.size() && buffer[end] != L'\0') ++end;
    if (end == buffer.size()) return std::nullopt;  // never ended: not an answer
    parts.emplace_back(buffer.data() + at, end - at);
    at = end + 1;
  }
  if (parts.empty()) return std::nullopt;
  Answer answer;
  if (parts.size() == 1) {
    // One file: its full path. Its folder keeps the backslash of a root.
    std::optional<std::string> path = win32::gb18030_from_wide(parts.front());
    const std::size_t slash = parts.front().rfind(L'\\');
    if (!path || slash == std::wstring_view::npos) return std::nullopt;
    const std::wstring_view folder = parts.front().substr(0, slash == 2 ? 3 : slash);
    std::optional<std::string> gbk_folder = win32::gb18030_from_wide(folder);
    if (!gbk_folder) return std::nullopt;
    answer.folder = std::move(*gbk_folder);
    answer.bytes = std::move(*path);
    answer.bytes += '\0';
    return answer;
  }
  std::optional<std::string> folder = win32::gb18030_from_wide(parts.front());
  if (!folder) return std::nullopt;
  answer.bytes = *folder;
  answer.bytes += '\0';
  std::size_t names = 0;
  for (std::size_t i = 1; i < parts.size(); ++i) {
    const std::optional<std::string> name = win32::gb18030_from_wide(parts[i]);
    if (!name) continue;
    answer.bytes += *name;
    answer.bytes += '\0';
    ++names;
  }
  if (names == 0) return std::nullopt;
  answer.bytes += '\0';
  answer.folder = std::move(*folder);
  return answer;
}

}  // namespace

bool open_file_dialog(OpenFileRequest& request) {
  if (request.lpstrFile == nullptr || request.nMaxFile == 0) return false;

  // A GB18030 character takes at least as many bytes as UTF-16 units, so
  // an answer that fits nMaxFile bytes fits nMaxFile units: one the system
  // finds too long for this buffer is too long for the caller's as well.
  std::vector<wchar_t> file(request.nMaxFile, L'\0');
  // What the caller's buffer holds up to its first zero is the name the
  // dialog starts with (none when it cannot be spelt or fills the buffer).
  const std::size_t start = strnlen(request.lpstrFile, request.nMaxFile);
  if (start < request.nMaxFile) {
    const std::optional<std::wstring> initial = win32::wide_from_gb18030({request.lpstrFile, start});
    if (initial && initial->size() < file.size()) std::copy(initial->begin(), initial->end(), file.begin());
  }
  const std::optional<std::wstring> filter = filter_list(request.lpstrFilter);
  const std::optional<std::wstring> title = shown(request.lpstrTitle);
  const std::optional<std::wstring> default_extension = shown(request.lpstrDefExt);
  // A folder the system cannot spell would be another one: the dialog then
  // starts where it would without one.
  std::optional<std::wstring> initial_dir;
  if (request.lpstrInitialDir != nullptr) initial_dir = win32::wide_from_gb18030(request.lpstrInitialDir);

  OPENFILENAMEW dialog{};
  dialog.lStructSize = request.lStructSize == kOlderRecordSize ? OPENFILENAME_SIZE_VERSION_400W : sizeof dialog;
  dialog.hwndOwner = reinterpret_cast<HWND>(request.hwndOwner);
  dialog.lpstrFilter = filter ? filter->c_str() : nullptr;
  dialog.nFilterIndex = request.nFilterIndex;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = request.nMaxFile;
  dialog.lpstrInitialDir = initial_dir ? initial_dir->c_str() : nullptr;
  dialog.lpstrTitle = title ? title->c_str() : nullptr;
  dialog.lpstrDefExt = default_extension ? default_extension->c_str() : nullptr;
  // The record's hook and template would be called and read as the wide
  // dialog's, which they are not: left out. The system must not move the
  // current directory itself: an answer too long for the caller's buffer
  // changes nothing, and the directory is set below only when it fits.
  dialog.Flags = (request.Flags & ~static_cast<DWORD>(OFN_ENABLEHOOK | OFN_ENABLETEMPLATE | OFN_ENABLETEMPLATEHANDLE |
                                                      OFN_ENABLEINCLUDENOTIFY)) |
                 OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&dialog)) return false;

  const std::optional<Answer> answer = answer_of(file);
  if (!answer || answer->bytes.size() > request.nMaxFile) return false;
  std::memcpy(request.lpstrFile, answer->bytes.data(), answer->bytes.size());
  // As the dialog does on confirmation; the caller may put it back.
  set_current_directory(answer->folder);
  return true;
}

}  // namespace platform
