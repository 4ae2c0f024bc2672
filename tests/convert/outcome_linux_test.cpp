// Why a file could not be read or written, as the conversion of real files
// on Linux says it: its file names' limit of 255 bytes, and full and
// read-only disks mounted in a child (the rest is in outcome_test.cpp).
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <sched.h>

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
      return r.outcome == Outcome::output_not_written && r.file_error == expected ? 0 : 1;
    });
    if (code == kCannotMount) GTEST_SKIP() << "no private mounts for this user";
    EXPECT_EQ(code, 0) << (read_only ? "read-only disk" : "full disk");
  }
}
