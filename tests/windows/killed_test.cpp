// bixiqin-convert.exe ended part-way by TerminateProcess (Task Manager's
// "End task", taskkill /F): the folder is left as it was.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "windows_support.h"

namespace {

// The size of the temporary being written beside the source, or 0.
std::uint64_t temporary_size(const WideFolder& dir) {
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW(dir.exact(L".bixiqin-*.part").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  FindClose(search);
  return (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
}

}  // namespace

// Catches an output written under its own name (a partial output stays),
// and a temporary not marked for deletion the moment it is made (it stays,
// as large as it got).
TEST(KilledConverter, TerminatedPartWayLeavesOnlyTheSourceAndTheOlderOutput) {
  const WideFolder dir;
  std::string gbk;
  gbk.reserve(std::size_t{120} << 20);
  while (gbk.size() < (std::size_t{120} << 20)) gbk += "\xB1\xCC\xCF\xAA\xC7\xD9 line\n";  // 碧溪琴
  ASSERT_TRUE(dir.write(L"g.txt", gbk));
  ASSERT_TRUE(dir.write(L"UTF-8  g.txt", "older output"));

  std::wstring line = command_line(convert_program(), {L"--from", L"GBK", L"--to", L"UTF-8", dir.plain(L"g.txt")});
  STARTUPINFOW start{};
  start.cb = sizeof start;
  PROCESS_INFORMATION child{};
  ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &start,
                             &child));
  // Part-way: 8 MiB of the output written.
  bool killed = false;
  for (int i = 0; i < 100000 && !killed && WaitForSingleObject(child.hProcess, 0) == WAIT_TIMEOUT; ++i) {
    if (temporary_size(dir) >= (std::uint64_t{8} << 20)) {
      killed = TerminateProcess(child.hProcess, 9) != 0;
    } else {
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  }
  WaitForSingleObject(child.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(child.hProcess, &code);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  ASSERT_TRUE(killed && code == 9) << "the conversion ended before it could be killed (exit code " << code << ")";
  // The system closes a killed process's handles as it ends: the
  // temporary is gone by the time the process counts as ended.
  EXPECT_EQ(dir.names(), (std::set<std::wstring>{L"g.txt", L"UTF-8  g.txt"}));
  EXPECT_EQ(dir.read(L"UTF-8  g.txt"), "older output");
}
