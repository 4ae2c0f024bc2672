#pragma once
// What the Windows tests share: a fresh folder reached through "\\?\"
// paths (so that the test itself is held to no name rule or length limit),
// UTF-16 and the program's text, bixiqin-convert.exe run in a child, and a
// plain window to give the window calls.
#include <windows.h>

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "tests/windows/utf16.h"

// The program's text (GB18030) for a path written in UTF-16.
std::string program_text(std::wstring_view path);

class WideFolder {
 public:
  WideFolder();
  ~WideFolder();
  WideFolder(const WideFolder&) = delete;
  WideFolder& operator=(const WideFolder&) = delete;

  // The path of `name` in the folder as a user writes it ("C:\...\name"),
  // and as the test reaches it ("\\?\C:\...\name").
  std::wstring plain(std::wstring_view name = {}) const;
  std::wstring exact(std::wstring_view name = {}) const;

  // False when the system refuses the name even behind "\\?\".
  bool write(std::wstring_view name, std::string_view bytes) const;
  bool make_folder(std::wstring_view name) const;
  std::string read(std::wstring_view name) const;
  bool exists(std::wstring_view name) const;
  std::set<std::wstring> names(std::wstring_view folder = {}) const;

 private:
  std::wstring plain_;  // without a trailing backslash
};

struct ConvertRun {
  DWORD exit_code = 0xFFFFFFFF;
  std::string out;  // the bytes written to standard output and error (files)
  std::string err;
};

// bixiqin-convert.exe, beside the tests' own folder.
std::wstring convert_program();
// The command line CommandLineToArgvW reads back as `program` and `args`.
std::wstring command_line(const std::wstring& program, const std::vector<std::wstring>& args);
// Runs bixiqin-convert.exe with `args` and the given standard handles
// (inheritable), in the current folder `folder` when one is given, in a
// hidden console of its own or in this process's; waits for its end and
// gives its exit code.
DWORD start_convert(const std::vector<std::wstring>& args, HANDLE in, HANDLE out, HANDLE err,
                    const std::wstring& folder = {}, bool in_this_console = false);
// Runs bixiqin-convert.exe with `args` and `input` on standard input, its
// standard output and error into files, in the current folder `folder`
// when one is given; waits for its end.
ConvertRun run_convert(const std::vector<std::wstring>& args, std::string_view input = {}, const std::wstring& folder = {});

// A plain hidden window of its own class, destroyed with the object.
class PlainWindow {
 public:
  PlainWindow(int width, int height);
  ~PlainWindow();
  PlainWindow(const PlainWindow&) = delete;
  PlainWindow& operator=(const PlainWindow&) = delete;
  HWND handle() const { return handle_; }
  // As the contract names windows.
  std::uintptr_t id() const { return reinterpret_cast<std::uintptr_t>(handle_); }

 private:
  HWND handle_ = nullptr;
};
