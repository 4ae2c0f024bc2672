#include "platform/new_file.h"

#include <aclapi.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/source_file_state.h"
#include "platform/win32/system_path.h"
#include "platform/win32/under_wine.h"
#include "platform/win32/win32_file_error.h"

// The output is written into a plain temporary in its folder, marked to be
// deleted when its handle closes from the moment it exists, so that a
// failure, a crash or a killed process takes it away with the handle. On
// success the mark is cleared and the file renamed by its handle over the
// output in one step. (FILE_FLAG_DELETE_ON_CLOSE would be no use: that
// mark cannot be cleared again, and the renamed output would go at close.)

namespace platform {

struct NewFile::State {
  std::shared_ptr<win32::FolderHandle> folder;  // where it goes, held since it was started
  std::wstring name;                            // the output's name in that folder
  HANDLE file = INVALID_HANDLE_VALUE;
  FileError error = FileError::none;
};

namespace {

std::wstring temporary_name() {
  static std::atomic<unsigned> counter{0};
  return L".bixiqin-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter.fetch_add(1)) +
         L".part";
}

bool mark_for_deletion(HANDLE file, bool deleted) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = deleted ? TRUE : FALSE;
  return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

// Gives the file the name `path` ("\\?\..."), replacing a file of that name.
bool rename_over(HANDLE file, const std::wstring& path) {
  // The call takes the system's own spelling of a path: "\??\", not "\\?\".
  const std::wstring target = L"\\??\\" + path.substr(4);
  std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + target.size() * sizeof(wchar_t));
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  info->ReplaceIfExists = TRUE;
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(target.size() * sizeof(wchar_t));
  std::copy(target.begin(), target.end(), info->FileName);
  return SetFileInformationByHandle(file, FileRenameInfo, info, static_cast<DWORD>(buffer.size())) != 0;
}

// Who may read the source, carried over to the output so that converting
// never lets more people read it. A source whose list is only what its
// folder gives every new file needs nothing when the output goes into that
// same folder; any other list is copied whole, kept from the folder's.
// False (error in GetLastError()) when the list cannot be carried.
bool carry_access(HANDLE source, HANDLE output, bool same_folder) {
  PACL list = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  DWORD error = GetSecurityInfo(source, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &list, nullptr,
                                &descriptor);
  if (error != ERROR_SUCCESS) {
    SetLastError(error);
    return false;
  }
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorControl(descriptor, &control, &revision);
  const bool kept_from_folder = (control & SE_DACL_PROTECTED) != 0;
  bool own_entries = false;
  if (list != nullptr) {
    for (DWORD i = 0; i < list->AceCount; ++i) {
      void* entry = nullptr;
      if (GetAce(list, i, &entry) && (static_cast<ACE_HEADER*>(entry)->AceFlags & INHERITED_ACE) == 0) {
        own_entries = true;
      }
    }
  }
  // No list at all lets everyone in: nothing to narrow.
  if (list == nullptr || (same_folder && !kept_from_folder && !own_entries)) {
    LocalFree(descriptor);
    return true;
  }
  const SECURITY_INFORMATION what =
      DACL_SECURITY_INFORMATION |
      (kept_from_folder || !same_folder ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION);
  error = SetSecurityInfo(output, SE_FILE_OBJECT, what, nullptr, nullptr, list, nullptr);
  LocalFree(descriptor);
  SetLastError(error);
  return error == ERROR_SUCCESS;
}

}  // namespace

NewFile::NewFile() : state_(std::make_unique<State>()) {}
NewFile::~NewFile() { discard(); }

FileError NewFile::error() const { return state_->error; }

// The temporary has a name of its own until the commit (marked for
// deletion), never none.
bool NewFile::unnamed() const { return false; }

namespace {

// The folder and name of an output path; false, with `error` set, when
// Windows cannot take the name or the folder cannot be opened.
bool output_place(std::string_view path, const SourceFile::State* beside,
                  std::shared_ptr<win32::FolderHandle>& folder, std::wstring& name, FileError& error) {
  const win32::SystemPath where = win32::system_path(path);
  if (where.error != FileError::none) {
    error = where.error;
    return false;
  }
  if (where.name.empty()) {
    // "books\": the output would be the folder itself.
    const DWORD attributes = GetFileAttributesW(where.folder.c_str());
    error = attributes != INVALID_FILE_ATTRIBUTES ? FileError::folder_in_the_way : FileError::missing;
    return false;
  }
  DWORD why = 0;
  folder = beside != nullptr && beside->folder && beside->folder->path == where.folder ? beside->folder
                                                                                      : win32::open_folder(where.folder, why);
  if (!folder) {
    error = win32::file_error_of(why, true);
    return false;
  }
  name = where.name;
  return true;
}

}  // namespace

bool NewFile::create(std::string_view path, unsigned permissions) {
  discard();
  State& s = *state_;
  s.error = FileError::missing;
  if (path.empty() || !output_place(path, nullptr, s.folder, s.name, s.error)) {
    discard();
    return false;
  }
  return start(permissions, nullptr);
}

bool NewFile::create_beside(const SourceFile& source, std::string_view path) {
  discard();
  State& s = *state_;
  const SourceFile::State& from = *source.state_;
  s.error = FileError::missing;
  if (path.empty() || from.file == INVALID_HANDLE_VALUE || !output_place(path, &from, s.folder, s.name, s.error)) {
    discard();
    return false;
  }
  return start(source.permissions(), &source);
}

// The permission bits have no meaning here; the source's access list does.
bool NewFile::start(unsigned, const SourceFile* source) {
  State& s = *state_;
  DWORD error = ERROR_FILE_EXISTS;
  std::wstring temporary;
  for (int attempt = 0; attempt < 100 && s.file == INVALID_HANDLE_VALUE && error == ERROR_FILE_EXISTS; ++attempt) {
    temporary = temporary_name();
    // Others may read it or delete it, not write it.
    s.file = win32::open_in_folder(*s.folder, temporary, GENERIC_WRITE | DELETE | WRITE_DAC,
                                   FILE_SHARE_READ | FILE_SHARE_DELETE, FILE_CREATE, FILE_NON_DIRECTORY_FILE, error);
  }
  if (s.file == INVALID_HANDLE_VALUE) {
    SetLastError(error);
    return fail();
  }
  if (!mark_for_deletion(s.file, true)) {
    // Not seen with a file made with DELETE access; should it happen, the
    // file must not stay: opened again to go at that handle's close.
    const DWORD why = GetLastError();
    CloseHandle(std::exchange(s.file, INVALID_HANDLE_VALUE));
    DWORD ignored = 0;
    const HANDLE again = win32::open_in_folder(*s.folder, temporary, DELETE, win32::kShareAll, FILE_OPEN,
                                               FILE_DELETE_ON_CLOSE | FILE_NON_DIRECTORY_FILE, ignored);
    if (again != INVALID_HANDLE_VALUE) CloseHandle(again);
    SetLastError(why);
    return fail();
  }
  // Wine makes the list it is given into Linux permission bits, and wider
  // ones (a source of rw------- gave rwxrwxr-x): there the output keeps the
  // bits Wine gives a new file, as any Wine program's would.
  if (source != nullptr && !win32::under_wine() &&
      !carry_access(source->state_->file, s.file, source->state_->folder == s.folder)) {
    return fail();
  }
  s.error = FileError::none;
  return true;
}

bool NewFile::write(std::string_view bytes) {
  State& s = *state_;
  if (s.file == INVALID_HANDLE_VALUE) return false;
  while (!bytes.empty()) {
    DWORD n = 0;
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    if (!WriteFile(s.file, bytes.data(), piece, &n, nullptr)) return fail();
    bytes.remove_prefix(n);
  }
  return true;
}

bool NewFile::commit() {
  State& s = *state_;
  if (s.file == INVALID_HANDLE_VALUE) return false;
  // Named by its path: Windows renames no folder with files open in it, so
  // the path still leads to the folder the file was made in. (A rename
  // relative to the folder's handle would not need that, but Wine refuses
  // one: ERROR_INVALID_PARAMETER.)
  const std::wstring target = s.folder->path.back() == L'\\' ? s.folder->path + s.name : s.folder->path + L'\\' + s.name;
  if (!mark_for_deletion(s.file, false)) return fail();
  if (!rename_over(s.file, target)) {
    const DWORD why = GetLastError();
    mark_for_deletion(s.file, true);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      s.error = FileError::folder_in_the_way;
      discard();
      return false;
    }
    SetLastError(why);
    return fail();
  }
  CloseHandle(std::exchange(s.file, INVALID_HANDLE_VALUE));
  discard();
  return true;
}

bool NewFile::fail() {
  state_->error = win32::file_error_of(GetLastError(), true);
  discard();
  return false;
}

void NewFile::discard() {
  State& s = *state_;
  // Still marked for deletion: closing it removes it.
  if (s.file != INVALID_HANDLE_VALUE) CloseHandle(s.file);
  s.file = INVALID_HANDLE_VALUE;
  s.name.clear();
  s.folder.reset();
}

}  // namespace platform
