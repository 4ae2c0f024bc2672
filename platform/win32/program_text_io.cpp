#include "platform/program_text_io.h"

#include <windows.h>
#include <io.h>
#include <shellapi.h>

#include "platform/win32/wide_text.h"

namespace platform {

// The C runtime's argv is in the ANSI code page, which cannot hold every
// name: the command line is taken again as the system has it, in UTF-16.
std::vector<std::string> program_arguments(int, char**) {
  std::vector<std::string> arguments;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(win32::utf8_from_wide(wide[i]));
  LocalFree(wide);
  return arguments;
}

// A console shows UTF-16 whatever its code page; a pipe or a file gets the
// UTF-8 bytes.
bool write_text(std::FILE* stream, std::string_view utf8) {
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) {
    return std::fwrite(utf8.data(), 1, utf8.size(), stream) == utf8.size();
  }
  // What the stream holds goes first, so that the lines keep their order.
  std::fflush(stream);
  std::wstring wide = win32::wide_from_utf8(utf8);
  std::wstring_view left = wide;
  while (!left.empty()) {
    DWORD written = 0;
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(left.size(), 8192));
    if (!WriteConsoleW(handle, left.data(), piece, &written, nullptr) || written == 0) return false;
    left.remove_prefix(written);
  }
  return true;
}

}  // namespace platform
