// The system's open dialog, answered from a second thread the way a user
// would: names typed into its file-name box, then OK or Cancel.
#include <gtest/gtest.h>

#include "windows_support.h"  // <windows.h> first

#include <commdlg.h>
#include <dlgs.h>

#include <string>
#include <thread>

#include "platform/current_directory.h"
#include "platform/open_file_dialog.h"

namespace {

constexpr const wchar_t* kTitle = L"bixiqin-test-open";

// Finds the dialog by its title, types `names` and presses OK (or Cancel
// when `names` is empty). Gives up after about 30 s, which leaves the
// dialog open and the test hanging in ctest's timeout rather than passing.
void answer_dialog(std::wstring names) {
  for (int tries = 0; tries < 600; ++tries) {
    const HWND dialog = FindWindowW(nullptr, kTitle);
    if (dialog != nullptr && IsWindowVisible(dialog)) {
      if (names.empty()) {
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
      }
      // The file-name box is an edit (edt1) or a combo box (cmb13).
      SetDlgItemTextW(dialog, edt1, names.c_str());
      SetDlgItemTextW(dialog, cmb13, names.c_str());
      PostMessageW(dialog, WM_COMMAND, IDOK, 0);
      return;
    }
    Sleep(50);
  }
  ADD_FAILURE() << "the open dialog did not appear";
}

struct DialogRun {
  bool confirmed = false;
  std::string buffer;  // the answer buffer and 8 guard bytes after it
  std::string directory_after;
};

DialogRun open_with(const std::string& folder, std::uint32_t size, const std::wstring& names) {
  DialogRun run;
  run.buffer.assign(size, '\0');
  run.buffer.append(8, 'G');
  platform::OpenFileRequest request;
  request.lStructSize = 76;
  request.lpstrFilter = "All\0*.*\0";
  request.lpstrFile = run.buffer.data();
  request.nMaxFile = size;
  request.lpstrInitialDir = folder.c_str();
  request.lpstrTitle = "bixiqin-test-open";
  request.Flags = platform::kOpenExplorer | platform::kOpenAllowMultiSelect;
  std::thread user(answer_dialog, names);
  run.confirmed = platform::open_file_dialog(request);
  user.join();
  run.directory_after = platform::current_directory();
  return run;
}

}  // namespace

// Two names typed, one of them Chinese: the folder, each name with its
// zero, one more zero, in GB18030 (中 D6D0, 文 CEC4). The second run's
// buffer is one byte short of that (17 bytes past the folder, 16 given)
// yet long enough in UTF-16 units (15), so only the GB18030 form decides.
// Catches the fit checked on the UTF-16 answer (the call would succeed and
// write past nMaxFile, into the guard); the system left to move the
// current directory itself (a failed call would have moved it); and names
// carried through the ANSI dialog or a code page ("?" for 中文).
TEST(OpenFileDialog, TheAnswerFitsTheCallersBytesOrNothingChanges) {
  const WideFolder dir;
  ASSERT_TRUE(dir.write(L"a.txt", "1"));
  ASSERT_TRUE(dir.write(L"\u4E2D\u6587.txt", "2"));
  const std::string folder = program_text(dir.plain());
  const std::wstring names = L"\"a.txt\" \"\u4E2D\u6587.txt\"";
  const std::string answer = folder + '\0' + "a.txt" + '\0' + "\xD6\xD0\xCE\xC4.txt" + '\0' + '\0';
  const std::string before = platform::current_directory();
  ASSERT_NE(before, folder);

  const DialogRun short_run = open_with(folder, static_cast<std::uint32_t>(answer.size() - 1), names);
  EXPECT_FALSE(short_run.confirmed);
  EXPECT_EQ(short_run.buffer, std::string(answer.size() - 1, '\0') + "GGGGGGGG");
  EXPECT_EQ(short_run.directory_after, before);

  const DialogRun cancelled = open_with(folder, 4096, L"");
  EXPECT_FALSE(cancelled.confirmed);
  EXPECT_EQ(cancelled.directory_after, before);

  const DialogRun run = open_with(folder, static_cast<std::uint32_t>(answer.size()), names);
  ASSERT_TRUE(run.confirmed);
  EXPECT_EQ(run.buffer, answer + "GGGGGGGG");
  EXPECT_EQ(run.directory_after, folder);
  platform::set_current_directory(before);
}
