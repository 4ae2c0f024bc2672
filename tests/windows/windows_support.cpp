#include "windows_support.h"

#include <gtest/gtest.h>

#include <random>

#include "text/encoding_boundary.h"

namespace {

// Removes the folder `exact` ("\\?\...") and everything in it.
void remove_tree(const std::wstring& exact) {
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW((exact + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = exact + L"\\" + name;
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        remove_tree(path);
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(exact.c_str());
}

}  // namespace

WideFolder::WideFolder() {
  wchar_t temp[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  std::wstring base(temp, n);
  if (!base.empty() && base.back() == L'\\') base.pop_back();
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100 && plain_.empty(); ++attempt) {
    const std::wstring candidate = base + L"\\bixiqin-windows-" + std::to_wstring(random() % 1000000000);
    if (CreateDirectoryW((L"\\\\?\\" + candidate).c_str(), nullptr)) plain_ = candidate;
  }
  if (plain_.empty()) ADD_FAILURE() << "cannot make a temporary folder";
}

WideFolder::~WideFolder() {
  if (!plain_.empty()) remove_tree(exact());
}

std::wstring WideFolder::plain(std::wstring_view name) const {
  return name.empty() ? plain_ : plain_ + L"\\" + std::wstring(name);
}

std::wstring WideFolder::exact(std::wstring_view name) const { return L"\\\\?\\" + plain(name); }

bool WideFolder::write(std::wstring_view name, std::string_view bytes) const {
  const HANDLE h = CreateFileW(exact(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  CloseHandle(h);
  return ok;
}

bool WideFolder::make_folder(std::wstring_view name) const { return CreateDirectoryW(exact(name).c_str(), nullptr); }

std::string WideFolder::read(std::wstring_view name) const {
  const HANDLE h = CreateFileW(exact(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    ADD_FAILURE() << "cannot read " << utf8(name);
    return {};
  }
  std::string all;
  char buffer[65536];
  DWORD n = 0;
  while (ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n > 0) all.append(buffer, n);
  CloseHandle(h);
  return all;
}

bool WideFolder::exists(std::wstring_view name) const {
  return GetFileAttributesW(exact(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::set<std::wstring> WideFolder::names(std::wstring_view folder) const {
  std::set<std::wstring> out;
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW((exact(folder) + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return out;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") out.insert(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return out;
}

std::string program_text(std::wstring_view path) {
  // The system's GB18030 table would do on Windows, but Wine has none (code
  // page 54936): through UTF-8 and the program's own boundary instead, which
  // tests/text holds to glibc's tables.
  return text::from_utf8(utf8(path));
}

std::wstring convert_program() {
  wchar_t self[32768];
  const DWORD n = GetModuleFileNameW(nullptr, self, 32768);
  std::wstring path(self, n);
  // <build>\tests\test_windows.exe
  for (int i = 0; i < 2; ++i) path.resize(path.find_last_of(L"\\/"));
  return path + L"\\bixiqin-convert.exe";
}

std::wstring command_line(const std::wstring& program, const std::vector<std::wstring>& args) {
  std::wstring line = L"\"" + program + L"\"";
  for (const std::wstring& arg : args) {
    line += L" \"";
    // Backslashes count double before a quote (and before the closing one).
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
      if (c == L'\\') {
        ++backslashes;
        continue;
      }
      line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
      backslashes = 0;
      line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L"\"";
  }
  return line;
}

DWORD start_convert(const std::vector<std::wstring>& args, HANDLE in, HANDLE out, HANDLE err,
                    const std::wstring& folder, bool in_this_console) {
  STARTUPINFOW start{};
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdInput = in;
  start.hStdOutput = out;
  start.hStdError = err;
  PROCESS_INFORMATION child{};
  std::wstring line = command_line(convert_program(), args);
  DWORD exit_code = 0xFFFFFFFF;
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, in_this_console ? 0 : CREATE_NO_WINDOW, nullptr,
                     folder.empty() ? nullptr : folder.c_str(), &start, &child)) {
    WaitForSingleObject(child.hProcess, INFINITE);
    GetExitCodeProcess(child.hProcess, &exit_code);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
  } else {
    ADD_FAILURE() << "cannot start bixiqin-convert.exe: error " << GetLastError();
  }
  return exit_code;
}

ConvertRun run_convert(const std::vector<std::wstring>& args, std::string_view input, const std::wstring& folder) {
  const WideFolder streams;  // apart from the folder under test, which must stay as it is
  streams.write(L"in", input);
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const auto open = [&](const wchar_t* name, bool writing) {
    return CreateFileW(streams.exact(name).c_str(), writing ? GENERIC_WRITE : GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, writing ? CREATE_ALWAYS : OPEN_EXISTING, 0, nullptr);
  };
  const HANDLE in = open(L"in", false);
  const HANDLE out = open(L"out", true);
  const HANDLE err = open(L"err", true);
  ConvertRun ran;
  ran.exit_code = start_convert(args, in, out, err, folder);
  CloseHandle(in);
  CloseHandle(out);
  CloseHandle(err);
  ran.out = streams.read(L"out");
  ran.err = streams.read(L"err");
  return ran;
}

PlainWindow::PlainWindow(int width, int height) {
  static const ATOM kind = [] {
    WNDCLASSW c{};
    c.lpfnWndProc = DefWindowProcW;
    c.hInstance = GetModuleHandleW(nullptr);
    c.lpszClassName = L"bixiqin-test-plain";
    return RegisterClassW(&c);
  }();
  if (kind != 0) {
    handle_ = CreateWindowExW(0, L"bixiqin-test-plain", L"", WS_POPUP, 10, 10, width, height, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  }
}

PlainWindow::~PlainWindow() {
  if (handle_ != nullptr) DestroyWindow(handle_);
}
