// Why a file could not be read or written, as the conversion of real files
// on Linux says it: its file names' limit of 255 bytes, and full and
// read-only disks mounted in a child, and a source it may not read (the
// rest is in outcome_test.cpp).
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <sched.h>

#include "convert/reason_text.h"
#include "convert/single_file.h"
#include "private_disk.h"
#include "temp_folder.h"

using platform::FileError;

TEST(Outcome, WhyASourceCouldNotBeReadOrAnOutputNotWritten) {
  TempFolder dir;
  dir.write("a.txt", "text");
  std::filesystem::create_directory(dir.native("dir.txt"));
  std::filesystem::create_directory(dir.native("GBK  a.txt"));
  const std::string long_name(251, 'n');
  dir.write(long_name, "text");  // fits the 255 bytes a name may have, but not with "GBK  " before it

  const auto check = [&](const std::string& name, Outcome outcome, FileError error) {
    const 转换结果 r = 转换单个文件(dir.text(name), "UTF-8", "GBK");
    EXPECT_FALSE(r.已转换) << name;
    EXPECT_EQ(r.outcome, outcome) << name;
    EXPECT_EQ(r.file_error, error) << name;
  };
  check("gone.txt", Outcome::source_unreadable, FileError::missing);
  check("dir.txt", Outcome::source_unreadable, FileError::folder);
  check("a.txt", Outcome::output_not_written, FileError::folder_in_the_way);
  check(long_name, Outcome::output_not_written, FileError::name_too_long);

  // A full disk, and a read-only one, in a child with its own mounts.
  for (const bool read_only : {false, true}) {
    TempFolder disk;
    const int code = in_child([&] {
      if (!mount_private_disk(disk, DiskKind::tmpfs, 1)) return kCannotMount;
      disk.write("big.txt", std::string(2 << 20, 'x').substr(0, 900 << 10));
      if (read_only && mount(nullptr, disk.path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
        return kCannotMount;
      }
      const 转换结果 r = 转换单个文件(disk.text("big.txt"), "UTF-8", "GBK");
      const FileError expected = read_only ? FileError::read_only : FileError::no_room;
      if (r.outcome != Outcome::output_not_written || r.file_error != expected) return 1;
      // Each its own words, in both languages.
      const std::string zh = text::to_utf8(转换说明(r, "UTF-8", "GBK"));
      const text::Text en = 转换说明(r, "UTF-8", "GBK", Language::english);
      if (zh != (read_only ? "磁盘是只读的" : "磁盘已满")) return 2;
      return en == (read_only ? "the disk is read-only" : "the disk is full") ? 0 : 3;
    });
    if (code == kCannotMount) GTEST_SKIP() << "no private mounts for this user";
    EXPECT_EQ(code, 0) << (read_only ? "read-only disk" : "full disk");
  }
}

// Catches a source that is there but may not be read being called missing.
// Root reads any file, so the child gives up its privileges first.
TEST(Outcome, ASourceThatMayNotBeReadSaysSo) {
  TempFolder dir;
  dir.write("locked.txt", "text");
  ASSERT_EQ(chmod(dir.native("locked.txt").c_str(), 0), 0);
  const int code = in_child([&] {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct none[2] = {};
    if (syscall(SYS_capset, &header, none) != 0) return 4;
    const 转换结果 r = 转换单个文件(dir.text("locked.txt"), "UTF-8", "GBK");
    if (r.outcome != Outcome::source_unreadable || r.file_error != FileError::no_permission) return 1;
    if (text::to_utf8(转换说明(r, "UTF-8", "GBK")) != "没有读取权限") return 2;
    return 转换说明(r, "UTF-8", "GBK", Language::english) == "no permission to read it" ? 0 : 3;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(dir.names(), std::set<std::string>{"locked.txt"});
}
