#include "platform/source_file.h"

#include <winternl.h>

#include <algorithm>
#include <limits>

#include "platform/win32/source_file_state.h"
#include "platform/win32/system_path.h"
#include "platform/win32/win32_file_error.h"

namespace platform {
namespace win32 {

bool facts_of(HANDLE handle, FileFacts& facts) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(handle, &info)) return false;
  facts.size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  facts.write_time =
      (std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) | info.ftLastWriteTime.dwLowDateTime;
  facts.index = (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  facts.attributes = info.dwFileAttributes;
  return true;
}

FolderHandle::~FolderHandle() { CloseHandle(handle); }

std::shared_ptr<FolderHandle> open_folder(const std::wstring& path, DWORD& error) {
  // FILE_TRAVERSE is what opening by a name within it asks of a folder;
  // every kind of sharing, so that no one else is kept from the folder.
  const HANDLE h = CreateFileW(path.c_str(), FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE, kShareAll,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    error = GetLastError();
    return nullptr;
  }
  FileFacts facts;
  if (!facts_of(h, facts) || (facts.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    // A file where a folder of the path should be.
    error = ERROR_DIRECTORY;
    CloseHandle(h);
    return nullptr;
  }
  return std::make_shared<FolderHandle>(h, path, facts);
}

HANDLE open_in_folder(const FolderHandle& folder, std::wstring_view name, ACCESS_MASK access, ULONG share,
                      ULONG disposition, ULONG options, DWORD& error) {
  UNICODE_STRING text;
  text.Buffer = const_cast<wchar_t*>(name.data());
  text.Length = text.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, folder.handle, nullptr);
  IO_STATUS_BLOCK io{};
  HANDLE h = nullptr;
  const NTSTATUS status = NtCreateFile(&h, access | SYNCHRONIZE, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL,
                                       share, disposition, options | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0);
  if (status < 0) {
    error = RtlNtStatusToDosError(status);
    return INVALID_HANDLE_VALUE;
  }
  return h;
}

}  // namespace win32

namespace {

using win32::FileFacts;

// Whether the name within the folder is a folder itself.
bool is_folder(const win32::FolderHandle& folder, std::wstring_view name) {
  DWORD ignored = 0;
  const HANDLE h = win32::open_in_folder(folder, name, FILE_READ_ATTRIBUTES, win32::kShareAll, FILE_OPEN, 0, ignored);
  if (h == INVALID_HANDLE_VALUE) return false;
  FileFacts facts;
  const bool folder_there = win32::facts_of(h, facts) && (facts.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  CloseHandle(h);
  return folder_there;
}

}  // namespace

SourceFile::SourceFile() : state_(std::make_unique<State>()) {}
SourceFile::~SourceFile() { close(); }

// A size beyond what this edition can address (a 32-bit one) saturates, so
// that no caller takes it for a small file.
std::size_t SourceFile::size() const {
  return static_cast<std::size_t>(
      std::min<std::uint64_t>(state_->opened.size, std::numeric_limits<std::size_t>::max()));
}

// Windows has no such bits: a read-only file reads as r--r--r--, any other
// as rw-rw-rw-; who may read it is its access list's (NewFile carries it).
unsigned SourceFile::permissions() const {
  return (state_->opened.attributes & FILE_ATTRIBUTE_READONLY) != 0 ? 0444 : 0666;
}

FileError SourceFile::error() const { return state_->error; }

ReadOutcome SourceFile::open(std::string_view path) {
  close();
  State& s = *state_;
  s.error = FileError::missing;
  if (path.empty()) return ReadOutcome::cannot_open;
  const win32::SystemPath where = win32::system_path(path);
  if (where.error != FileError::none) {
    s.error = where.error;
    return ReadOutcome::cannot_open;
  }
  if (where.name.empty()) {
    // "books\" or "C:\": a folder, if it is there at all.
    const DWORD attributes = GetFileAttributesW(where.folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      return ReadOutcome::cannot_open;
    }
    s.error = FileError::folder;
    return ReadOutcome::not_a_file;
  }
  DWORD error = 0;
  s.folder = win32::open_folder(where.folder, error);
  // Read, write and delete sharing: a file another program holds open,
  // even for writing, still converts (and a change it makes is found).
  if (s.folder) {
    s.file = win32::open_in_folder(*s.folder, where.name, GENERIC_READ, win32::kShareAll, FILE_OPEN,
                                   FILE_SEQUENTIAL_ONLY, error);
  }
  if (s.file == INVALID_HANDLE_VALUE) {
    s.error = s.folder && error == ERROR_ACCESS_DENIED && is_folder(*s.folder, where.name)
                  ? FileError::folder
                  : win32::file_error_of(error, false);
    s.folder.reset();
    return ReadOutcome::cannot_open;
  }
  s.name = where.name;
  ReadOutcome outcome = ReadOutcome::read;
  FileError why = FileError::none;
  if (!win32::facts_of(s.file, s.opened)) {
    outcome = ReadOutcome::read_error;
    why = FileError::read_error;
  } else if ((s.opened.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    outcome = ReadOutcome::not_a_file;
    why = FileError::folder;
  } else if (GetFileType(s.file) != FILE_TYPE_DISK) {
    outcome = ReadOutcome::not_a_file;
    why = FileError::not_a_file;
  }
  if (outcome != ReadOutcome::read) {
    close();
    s.error = why;
    return outcome;
  }
  s.error = FileError::none;
  return outcome;
}

std::optional<std::uint64_t> regular_file_size(std::string_view path) {
  if (path.empty()) return std::nullopt;
  const win32::SystemPath where = win32::system_path(path);
  if (where.error != FileError::none || where.name.empty()) return std::nullopt;
  WIN32_FILE_ATTRIBUTE_DATA info{};
  if (!GetFileAttributesExW(where.whole().c_str(), GetFileExInfoStandard, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return std::nullopt;
  }
  return (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
}

std::ptrdiff_t SourceFile::read(char* into, std::size_t room) {
  const std::ptrdiff_t n = read_at(state_->position, into, room);
  if (n > 0) state_->position += static_cast<std::uint64_t>(n);
  return n;
}

std::ptrdiff_t SourceFile::read_at(std::uint64_t offset, char* into, std::size_t room) const {
  const State& s = *state_;
  if (s.file == INVALID_HANDLE_VALUE) return -1;
  // A file that grows as it is read would otherwise never end; one that
  // grew is found changed at the end.
  const std::uint64_t size = s.opened.size;
  room = static_cast<std::size_t>(std::min<std::uint64_t>({room, offset < size ? size - offset : 0, 1u << 30}));
  if (room == 0) return 0;
  // At an offset of its own, so that threads reading parts do not share a
  // file position.
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD n = 0;
  if (ReadFile(s.file, into, static_cast<DWORD>(room), &n, &at)) return static_cast<std::ptrdiff_t>(n);
  if (GetLastError() == ERROR_HANDLE_EOF) return 0;
  s.error = FileError::read_error;
  return -1;
}

bool SourceFile::intact() const { return intact_after(state_->position); }

bool SourceFile::intact_after(std::uint64_t bytes_read) const {
  const State& s = *state_;
  FileFacts now;
  if (s.file == INVALID_HANDLE_VALUE || !win32::facts_of(s.file, now)) {
    s.error = FileError::read_error;
    return false;
  }
  if (now.size == s.opened.size && now.write_time == s.opened.write_time && bytes_read == s.opened.size) return true;
  s.error = FileError::changed;
  return false;
}

bool SourceFile::still_named() const {
  const State& s = *state_;
  if (!s.folder) return false;
  DWORD ignored = 0;
  const HANDLE h =
      win32::open_in_folder(*s.folder, s.name, FILE_READ_ATTRIBUTES, win32::kShareAll, FILE_OPEN, 0, ignored);
  FileFacts now;
  // The file index alone, not the volume's number: Wine reads that as 0
  // through a folder renamed since it was opened.
  const bool same = h != INVALID_HANDLE_VALUE && win32::facts_of(h, now) && now.index == s.opened.index &&
                    now.size == s.opened.size && now.write_time == s.opened.write_time &&
                    now.attributes == s.opened.attributes;
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  if (!same) s.error = FileError::changed;
  return same;
}

bool SourceFile::file_open() const { return state_->file != INVALID_HANDLE_VALUE; }

void SourceFile::rewind() { state_->position = 0; }

void SourceFile::close_file() {
  State& s = *state_;
  if (s.file != INVALID_HANDLE_VALUE) CloseHandle(s.file);
  s.file = INVALID_HANDLE_VALUE;
}

void SourceFile::close() {
  close_file();
  State& s = *state_;
  s.folder.reset();
  s.name.clear();
  s.opened = {};
  s.position = 0;
}

}  // namespace platform
