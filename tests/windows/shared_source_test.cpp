// A source another program holds open still converts, however it shares
// the file, and a change that program makes while it is read is found.
#include <gtest/gtest.h>

#include "convert/single_file.h"
#include "platform/source_file.h"
#include "windows_support.h"

namespace {

const std::string kLineGbk = "\xD6\xD0\xCE\xC4\n";  // 中文
const std::string kLineUtf8 = "\xE4\xB8\xAD\xE6\x96\x87\n";

std::string lines(const std::string& line, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += line;
  return out;
}

HANDLE hold(const WideFolder& dir, const wchar_t* name, DWORD access, DWORD share) {
  return CreateFileW(dir.exact(name).c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
}

}  // namespace

// An editor holding the file for writing, with read and write sharing;
// a reader that lets no one write; one that shares everything. Catches a
// source opened without write sharing (refused while the editor holds it:
// error 32) or opened for writing itself (refused while the reader does).
TEST(SharedSource, ASourceAnotherProgramHoldsOpenStillConverts) {
  struct Holder {
    const char* what;
    DWORD access;
    DWORD share;
  };
  const Holder holders[] = {
      {"editor", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE},
      {"reader denying writes", GENERIC_READ, FILE_SHARE_READ},
      {"sharing all", GENERIC_READ | GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE},
  };
  for (const Holder& h : holders) {
    const WideFolder dir;
    ASSERT_TRUE(dir.write(L"a.txt", lines(kLineGbk, 1000)));
    const HANDLE held = hold(dir, L"a.txt", h.access, h.share);
    ASSERT_NE(held, INVALID_HANDLE_VALUE) << h.what;
    const 转换结果 r = 转换单个文件(program_text(dir.plain(L"a.txt")), "GBK", "UTF-8");
    CloseHandle(held);
    EXPECT_TRUE(r.已转换) << h.what << ": " << static_cast<int>(r.file_error);
    EXPECT_EQ(dir.read(L"UTF-8  a.txt"), lines(kLineUtf8, 1000)) << h.what;
  }
}

// The holder rewrites two bytes in place while the source is read: same
// size, new bytes. Catches an intact() that compares the size alone.
TEST(SharedSource, BytesTheHolderRewritesWhileTheSourceIsReadFailIt) {
  const WideFolder dir;
  ASSERT_TRUE(dir.write(L"g.txt", lines(kLineGbk, 600000)));  // 3 MB
  {
    // Written an hour ago, as files to convert usually are, through a
    // handle of its own: one whose times were set keeps them on writes.
    const HANDLE h = hold(dir, L"g.txt", FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
    t.QuadPart -= 36000000000ull;  // an hour in 100 ns
    const FILETIME hour_ago{t.LowPart, t.HighPart};
    ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &hour_ago));
    CloseHandle(h);
  }
  const HANDLE editor = hold(dir, L"g.txt", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_NE(editor, INVALID_HANDLE_VALUE);
  platform::SourceFile source;
  ASSERT_EQ(source.open(program_text(dir.plain(L"g.txt"))), platform::ReadOutcome::read);
  std::string buffer(1 << 20, '\0');
  ASSERT_EQ(source.read(buffer.data(), buffer.size()), 1 << 20);
  OVERLAPPED at{};
  at.Offset = 2 << 20;
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(editor, "\xB0\xA1", 2, &written, &at));  // 啊 over 中
  while (source.read(buffer.data(), buffer.size()) > 0) {
  }
  EXPECT_FALSE(source.intact());
  EXPECT_EQ(source.error(), platform::FileError::changed);
  CloseHandle(editor);
}
