#pragma once
// What an open source file holds, shared by the file and the new file
// written beside it (both of this folder only), and the calls they share.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_error.h"
#include "platform/source_file.h"

namespace platform::win32 {

// What tells one state of a file from another.
struct FileFacts {
  std::uint64_t size = 0;
  std::uint64_t write_time = 0;  // in 100 ns
  std::uint64_t index = 0;       // the file's identity on its volume
  DWORD attributes = 0;
};
// False (the error in GetLastError()) when the handle tells nothing.
bool facts_of(HANDLE handle, FileFacts& facts);

// A folder held open (FILE_FLAG_BACKUP_SEMANTICS), by which files in it are
// opened and made: a folder renamed or swapped meanwhile cannot put them
// anywhere else.
struct FolderHandle {
  FolderHandle(HANDLE h, std::wstring system_path, const FileFacts& opened)
      : handle(h), path(std::move(system_path)), facts(opened) {}
  ~FolderHandle();
  FolderHandle(const FolderHandle&) = delete;
  FolderHandle& operator=(const FolderHandle&) = delete;
  const HANDLE handle;
  const std::wstring path;  // "\\?\..." as it was opened
  const FileFacts facts;
};

// Opens the folder at the "\\?\" path; nothing, and the error's code in
// `error`, when it cannot be opened or is no folder.
std::shared_ptr<FolderHandle> open_folder(const std::wstring& path, DWORD& error);

// Opens or makes `name` within the folder (NtCreateFile with the folder as
// its root): INVALID_HANDLE_VALUE, and the error's code in `error`, on failure.
// The handle is synchronous: reads and writes at an offset wait for their end.
HANDLE open_in_folder(const FolderHandle& folder, std::wstring_view name, ACCESS_MASK access, ULONG share,
                      ULONG disposition, ULONG options, DWORD& error);

constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace platform::win32

namespace platform {

struct SourceFile::State {
  HANDLE file = INVALID_HANDLE_VALUE;
  std::shared_ptr<win32::FolderHandle> folder;
  std::wstring name;       // in the folder
  win32::FileFacts opened;  // as it was when opened
  std::uint64_t position = 0;
  mutable std::atomic<FileError> error{FileError::none};
};

}  // namespace platform
