// Preparing the open dialog's request and reading its answer: pure byte work.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "files/open_dialog_answer.h"
#include "files/open_dialog_request.h"
#include "text/gbk_literal.h"

using namespace std::string_literals;
using files::dialog_filter;
using files::parse_open_dialog_answer;

TEST(OpenDialogFilter, PipesBecomeZerosAndTwoZerosEndTheList) {
  EXPECT_EQ(dialog_filter(" TXT文档(*.txt)|*.txt"_gbk), " TXT文档(*.txt)"_gbk + "\0*.txt\0\0"s);
  // Two pairs: four zero-ended parts and one extra zero.
  EXPECT_EQ(dialog_filter("Text|*.txt|All|*.*"), "Text\0*.txt\0All\0*.*\0\0"s);
  // No "|": one zero-ended part and the extra zero.
  EXPECT_EQ(dialog_filter("*.txt"), "*.txt\0\0"s);
  EXPECT_EQ(dialog_filter(""), "\0\0"s);
  // Byte by byte: a "|"-valued trail byte is replaced like any other.
  EXPECT_EQ(dialog_filter("\x81|x"), "\x81\0x\0\0"s);
}

TEST(OpenDialogRequest, RecordIsFilledAsTheDialogExpects) {
  const 多选打开对话框参数 parameters{.父窗口 = 4242,
                                     .对话框标题 = "打开TXT文件"_gbk,
                                     .过滤器 = " TXT文档(*.txt)|*.txt"_gbk};
  files::OpenDialogRequest request(parameters, "/saved");
  const platform::OpenFileRequest& r = request.record();

  EXPECT_EQ(r.lStructSize, 76u);
  EXPECT_EQ(r.hwndOwner, 4242);
  EXPECT_EQ(r.hInstance, 0);
  EXPECT_EQ(std::string(r.lpstrFilter, dialog_filter(parameters.过滤器).size()),
            dialog_filter(parameters.过滤器));
  EXPECT_EQ(r.lpstrCustomFilter, nullptr);
  EXPECT_EQ(r.nMaxCustFilter, 0u);
  EXPECT_EQ(r.nFilterIndex, 0u);
  EXPECT_EQ(r.Flags, 0x00080200u);
  EXPECT_STREQ(r.lpstrTitle, "打开TXT文件"_gbk.c_str());
  EXPECT_EQ(r.nFileOffset, 0);
  EXPECT_EQ(r.nFileExtension, 0);
  EXPECT_EQ(r.lpstrDefExt, nullptr);
  EXPECT_EQ(r.lCustData, 0);
  EXPECT_EQ(r.lpfnHook, nullptr);
  EXPECT_EQ(r.lpTemplateName, nullptr);

  // The answer buffer starts as 98192 zero bytes, and is the one the record names.
  EXPECT_EQ(r.nMaxFile, 98192u);
  ASSERT_EQ(request.answer().size(), 98192u);
  EXPECT_EQ(request.answer().data(), r.lpstrFile);
  EXPECT_EQ(request.answer().find_first_not_of('\0'), std::string_view::npos);

  // The file title: 98192 blanks and a zero byte.
  EXPECT_EQ(r.nMaxFileTitle, 98192u);
  const std::string_view title(r.lpstrFileTitle);
  EXPECT_EQ(title.size(), 98192u);
  EXPECT_EQ(title.find_first_not_of(' '), std::string_view::npos);
}

TEST(OpenDialogRequest, InitialFolderIsTheSavedOneOnlyWhenLeftOut) {
  多选打开对话框参数 parameters{.对话框标题 = "t", .过滤器 = "f|*"};
  {
    files::OpenDialogRequest left_out(parameters, "/saved/目录"_gbk);
    EXPECT_EQ(left_out.record().lpstrInitialDir, "/saved/目录"_gbk);
  }
  parameters.初始目录 = "/given"_gbk;
  {
    files::OpenDialogRequest given(parameters, "/saved");
    EXPECT_STREQ(given.record().lpstrInitialDir, "/given");
  }
  // An empty text is a given text, not a left-out one.
  parameters.初始目录 = ""_gbk;
  {
    files::OpenDialogRequest empty(parameters, "/saved");
    EXPECT_STREQ(empty.record().lpstrInitialDir, "");
  }
}

TEST(OpenDialogAnswer, OneFileIsItsFullPath) {
  std::string buffer(64, '\0');
  buffer.replace(0, 12, "/dir/a b.txt");
  EXPECT_EQ(parse_open_dialog_answer(buffer), "/dir/a b.txt");
  EXPECT_EQ(parse_open_dialog_answer("/dir/文件.txt\0"_gbk + "\0stale\0\0"s), "/dir/文件.txt"_gbk);
}

TEST(OpenDialogAnswer, SeveralFilesAreJoinedInOrderWithoutTrailingSeparator) {
  EXPECT_EQ(parse_open_dialog_answer("/dir\0b.txt\0a.txt\0\0\0\0"s),
            "/dir/b.txt\r\n/dir/a.txt");
  EXPECT_EQ(parse_open_dialog_answer("/home/用户\0小说.txt\0x\0\0"_gbk),
            "/home/用户/小说.txt\r\n/home/用户/x"_gbk);
  // Whatever follows the first pair of zeros is not part of the answer.
  EXPECT_EQ(parse_open_dialog_answer("/d\0a\0\0/old\0z\0\0"s), "/d/a");
}

TEST(OpenDialogAnswer, RootFolderKeepsItsOneSeparator) {
  EXPECT_EQ(parse_open_dialog_answer("/\0a.txt\0b.txt\0\0"s), "/a.txt\r\n/b.txt");
  // A folder ending in a two-byte character gets its separator appended.
  EXPECT_EQ(parse_open_dialog_answer("/书\0a\0b\0\0"_gbk), "/书/a\r\n/书/b"_gbk);
}

TEST(OpenDialogAnswer, ZeroSplittingIgnoresStrayLeadBytes) {
  // A name ending in a lone lead byte must not swallow the zero after it.
  EXPECT_EQ(parse_open_dialog_answer("/d\0a\x81\0b\0\0"s), "/d/a\x81\r\n/d/b");
  // An answer that fills the buffer to its end, without the final zeros.
  EXPECT_EQ(parse_open_dialog_answer("/d\0a\0b\0"s), "/d/a\r\n/d/b");
  EXPECT_EQ(parse_open_dialog_answer(std::string(16, '\0')), "");
}
