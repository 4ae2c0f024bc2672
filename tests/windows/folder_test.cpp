// What a path names, and the regular files of a folder, as the program's
// GB18030 text.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/folder.h"
#include "windows_support.h"

// Catches the folder test dropped from the listing (the subfolder, and "."
// and "..", would be listed as files); names read through the ANSI calls
// or a code page (中文 and the four-byte 😀 would come back as "?"); and,
// where the system takes a name with an unpaired surrogate (NTFS does,
// Wine refuses it), that name converted leniently instead of left out (it
// would come back as "x?.txt" or "x.txt", another file's name).
TEST(Folder, RegularFilesAreListedInGb18030AndFoldersLeftOut) {
  const WideFolder dir;
  ASSERT_TRUE(dir.write(L"a.txt", "1"));
  ASSERT_TRUE(dir.write(L"\u4E2D\u6587.txt", "2"));    // 中文
  ASSERT_TRUE(dir.write(L"\U0001F600.txt", "3"));      // 😀, a surrogate pair
  ASSERT_TRUE(dir.make_folder(L"sub.txt"));
  ASSERT_TRUE(dir.write(L"sub.txt\\inner.txt", "4"));
  const bool odd_name = dir.write(L"x\xD800.txt", "5");  // Wine may refuse it

  std::vector<text::Text> names = platform::regular_files_in(program_text(dir.plain()));
  std::sort(names.begin(), names.end());
  // 中 D6D0, 文 CEC4; U+1F600 is the four bytes 94 39 FC 36 (worked out
  // from the first four-byte code 90 30 81 30 of U+10000).
  std::vector<text::Text> expected = {"a.txt", "\xD6\xD0\xCE\xC4.txt", "\x94\x39\xFC\x36.txt"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(names, expected) << (odd_name ? "with" : "without") << " the unpaired surrogate's file";

  EXPECT_EQ(platform::path_kind(program_text(dir.plain())), platform::PathKind::folder);
  EXPECT_EQ(platform::path_kind(program_text(dir.plain(L"\u4E2D\u6587.txt"))), platform::PathKind::other);
  EXPECT_EQ(platform::path_kind(program_text(dir.plain(L"none.txt"))), platform::PathKind::nothing);
  EXPECT_TRUE(platform::regular_files_in(program_text(dir.plain(L"none"))).empty());
}
