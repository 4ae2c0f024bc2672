// Conversion on real file systems: large files, full disks, size and memory
// limits, a crash part-way, file systems without unnamed files, and who may
// read the output. Limits and mounts live in child processes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "convert/single_file.h"
#include "platform/process_signals.h"
#include "private_disk.h"
#include "temp_folder.h"

namespace {

// 7 bytes in UTF-8 and 5 in GBK a line: a million lines are 7 MB and 5 MB.
const std::string kLineUtf8 = "\xE4\xB8\xAD\xE6\x96\x87\n";  // 中文
const std::string kLineGbk = "\xD6\xD0\xCE\xC4\n";
constexpr int kLines = 1000000;

std::string lines(const std::string& line, int count = kLines) {
  std::string out;
  out.reserve(line.size() * static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) out += line;
  return out;
}

// A number from /proc/<pid>/<file>, such as "VmSize:" (kB) or "wchar:".
std::uintmax_t proc_value(pid_t pid, const std::string& file, const std::string& key) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/" + file);
  std::string word;
  while (in >> word) {
    if (word == key) {
      std::uintmax_t value = 0;
      in >> value;
      return value;
    }
  }
  return 0;
}

mode_t mode_of(const std::filesystem::path& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

}  // namespace

// The file size limit stands in for a full disk, met early or late.
TEST(LargeFile, SizeLimitBeforeOrDuringTheConversionKeepsTheOlderOutput) {
  for (const rlim_t limit : {rlim_t{1} << 20, rlim_t{6} << 20}) {
    TempFolder dir;
    dir.write("g.txt", lines(kLineGbk));
    dir.write("UTF-8  g.txt", "older output");
    const int code = in_child([&] {
      signal(SIGXFSZ, SIG_IGN);
      const rlimit r{limit, limit};
      if (setrlimit(RLIMIT_FSIZE, &r) != 0) return 2;
      return 转换单个文件(dir.text("g.txt"), "GBK", "UTF-8").已转换 ? 1 : 0;
    });
    EXPECT_EQ(code, 0) << "limit " << limit;
    EXPECT_EQ(dir.read("UTF-8  g.txt"), "older output") << "limit " << limit;
    EXPECT_EQ(dir.names(), (std::set<std::string>{"g.txt", "UTF-8  g.txt"})) << "limit " << limit;
  }
}

// A disk with room for the output converts; one without converts nothing and
// keeps nothing.
TEST(LargeFile, NearlyFullDiskConvertsWhatFitsAndLeavesNothingOtherwise) {
  struct Case {
    int disk_mib;
    bool fits;
  };
  for (const Case c : {Case{13, true}, Case{10, false}}) {
    TempFolder dir;
    const int code = in_child([&] {
      if (!mount_private_disk(dir, DiskKind::tmpfs, c.disk_mib)) return kCannotMount;
      dir.write("u.txt", lines(kLineUtf8));  // 7 MB; its GBK output is 5 MB
      const bool converted = 转换单个文件(dir.text("u.txt"), "UTF-8", "GBK").已转换;
      if (converted != c.fits) return 1;
      const std::set<std::string> expected =
          c.fits ? std::set<std::string>{"u.txt", "GBK  u.txt"} : std::set<std::string>{"u.txt"};
      if (dir.names() != expected) return 3;
      if (c.fits && dir.read("GBK  u.txt") != lines(kLineGbk)) return 4;
      return 0;
    });
    if (code == kCannotMount) GTEST_SKIP() << "no private mounts for this user";
    EXPECT_EQ(code, 0) << c.disk_mib << " MiB disk";
  }
}

// A file far larger than the memory the process may have converts, on the
// temporary folder's own disk, on tmpfs and on ext3 (which cannot reserve
// room ahead): memory does not grow with the file.
TEST(LargeFile, ConvertsAFileLargerThanTheMemoryLimitOnEveryFileSystem) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "the sanitizers need more address space than the limit allows";
#endif
  constexpr std::uintmax_t kSize = std::uintmax_t{160} << 20;
  enum class Disk { own, tmpfs, ext3 };
  bool without_ext3 = false;
  for (const Disk disk : {Disk::own, Disk::tmpfs, Disk::ext3}) {
    TempFolder dir;
    const int code = in_child([&] {
      if (disk != Disk::own &&
          !mount_private_disk(dir, disk == Disk::tmpfs ? DiskKind::tmpfs : DiskKind::ext3, 200)) {
        return kCannotMount;
      }
      // Sparse: 160 MiB of zero bytes, valid text in every encoding.
      dir.write("big.txt", "x");
      std::filesystem::resize_file(dir.native("big.txt"), kSize);
      const rlim_t room = proc_value(getpid(), "status", "VmSize:") * 1024 + (rlim_t{48} << 20);
      const rlimit limit{room, room};
      if (setrlimit(RLIMIT_AS, &limit) != 0) return 2;
      if (!转换单个文件(dir.text("big.txt"), "UTF-8", "GBK").已转换) return 1;
      if (std::filesystem::file_size(dir.native("GBK  big.txt")) != kSize) return 3;
      std::set<std::string> names = dir.names();
      names.erase("lost+found");  // ext3's own
      return names == std::set<std::string>{"big.txt", "GBK  big.txt"} ? 0 : 4;
    });
    // An ordinary user mounts memory disks in a namespace of its own, but
    // no loop device.
    if (code == kCannotMount && disk == Disk::ext3 && geteuid() != 0) {
      without_ext3 = true;
      continue;
    }
    if (code == kCannotMount) {
      ADD_FAILURE() << "cannot mount a private disk of kind " << static_cast<int>(disk);
      continue;
    }
    EXPECT_EQ(code, 0) << "disk kind " << static_cast<int>(disk);
  }
  if (without_ext3) GTEST_SKIP() << "ext3 needs a loop device, which only root may mount";
}

// Killed part-way, a conversion leaves nothing: the output had no name yet.
TEST(LargeFile, KilledPartWayLeavesOnlyTheSourceAndTheOlderOutput) {
  TempFolder dir;
  dir.write("g.txt", lines(kLineGbk, 12 * kLines));  // 60 MB, 84 MB in UTF-8
  dir.write("UTF-8  g.txt", "older output");
  const pid_t pid = fork();
  if (pid == 0) _exit(转换单个文件(dir.text("g.txt"), "GBK", "UTF-8").已转换 ? 0 : 1);
  ASSERT_GT(pid, 0);
  // Part-way: output written, or a file of its own beside the source.
  bool killed = false;
  for (int i = 0; i < 100000 && !killed; ++i) {
    if (proc_value(pid, "io", "wchar:") >= (std::uintmax_t{8} << 20) || dir.names().size() > 2) {
      killed = kill(pid, SIGKILL) == 0;
    } else {
      std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
      << "the conversion ended before it could be killed";
  EXPECT_EQ(dir.names(), (std::set<std::string>{"g.txt", "UTF-8  g.txt"}));
  EXPECT_EQ(dir.read("UTF-8  g.txt"), "older output");
}

// Catches a program ended by SIGTERM, SIGINT or SIGHUP that leaves its
// hidden temporary (where unnamed files are refused) as large as it wrote.
TEST(LargeFile, EndedBySignalsWithoutUnnamedFilesLeavesNoTemporary) {
  TempFolder dir;
  dir.write("g.txt", lines(kLineGbk, 8 * kLines));  // 40 MB, one thread: a few tenths of a second
  for (const int signal_number : {SIGTERM, SIGINT, SIGHUP}) {
    const pid_t pid = fork();
    if (pid == 0) {
      if (!refuse_unnamed_files()) _exit(kCannotMount);
      platform::guard_outputs_against_signals();
      _exit(转换单个文件(dir.text("g.txt"), "GBK", "UTF-8", 1).已转换 ? 0 : 1);
    }
    ASSERT_GT(pid, 0);
    bool sent = false;
    for (int i = 0; i < 100000 && !sent; ++i) {
      if (dir.names().size() > 1) {
        sent = kill(pid, signal_number) == 0;
      } else {
        std::this_thread::sleep_for(std::chrono::microseconds(100));
      }
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) == kCannotMount) << "cannot refuse unnamed files here";
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal_number)
        << signal_number << ": the conversion ended before the signal came";
    EXPECT_EQ(dir.names(), std::set<std::string>{"g.txt"}) << signal_number;
  }
}

// Where the file system has no unnamed files, a named one stands in: same
// bytes, same permissions, and nothing left after a failure.
TEST(LargeFile, WithoutUnnamedFilesANamedTemporaryConvertsAndIsRemovedOnFailure) {
  TempFolder dir;
  dir.write("u.txt", lines(kLineUtf8, 100000));
  dir.write("bad.txt", lines(kLineUtf8, 100000) + "\xFF");
  chmod(dir.native("u.txt").c_str(), 0640);
  const int code = in_child([&] {
    if (!refuse_unnamed_files()) return kCannotMount;
    umask(022);
    if (!转换单个文件(dir.text("u.txt"), "UTF-8", "GBK").已转换) return 1;
    if (转换单个文件(dir.text("bad.txt"), "UTF-8", "GBK").已转换) return 2;
    return 0;
  });
  if (code == kCannotMount) GTEST_SKIP() << "cannot refuse unnamed files here";
  EXPECT_EQ(code, 0);
  EXPECT_EQ(dir.read("GBK  u.txt"), lines(kLineGbk, 100000));
  EXPECT_EQ(mode_of(dir.native("GBK  u.txt")), 0640u);
  EXPECT_EQ(dir.names(), (std::set<std::string>{"u.txt", "bad.txt", "GBK  u.txt"}));
}

// The output may be read by no one who could not read the source, nor by
// anyone who could not read the output it replaces; the umask still counts.
TEST(Permissions, OutputTakesTheSourcesBitsNeverWider) {
  struct Case {
    mode_t source;
    mode_t older;  // 0: no older output
    mode_t expected;
  };
  const Case cases[] = {
      {0600, 0, 0600},     // a diary stays private
      {0644, 0600, 0600},  // a restricted output is not widened
      {0666, 0, 0644},     // the umask (022 here) takes its part
      {0640, 0664, 0640},
  };
  const mode_t old_umask = umask(022);
  for (const std::size_t size : {std::size_t{100}, std::size_t{5} << 20}) {
    for (const Case& c : cases) {
      TempFolder dir;
      dir.write("a.txt", lines(kLineUtf8, static_cast<int>(size / kLineUtf8.size())));
      chmod(dir.native("a.txt").c_str(), c.source);
      if (c.older != 0) {
        dir.write("GBK  a.txt", "older");
        chmod(dir.native("GBK  a.txt").c_str(), c.older);
      }
      ASSERT_TRUE(转换单个文件(dir.text("a.txt"), "UTF-8", "GBK").已转换);
      EXPECT_EQ(mode_of(dir.native("GBK  a.txt")), c.expected)
          << std::oct << "source " << c.source << ", older " << c.older << ", size " << std::dec
          << size;
    }
  }
  umask(old_umask);
}

// Catches an output given only the source's permission bits: with an access
// list the group bits show its mask, and the group read the output of a
// file it could not read. And one that took a set-group-id folder's group.
TEST(Permissions, TheOutputCarriesTheSourcesAccessListAndGroup) {
  TempFolder dir;
  dir.write("a.txt", "abc\n");
  const std::string a = dir.native("a.txt").string();
  ASSERT_EQ(chmod(a.c_str(), 0600), 0);
  ASSERT_EQ(std::system(("setfacl -m u:nobody:r '" + a + "'").c_str()), 0) << "the acl package";
  ASSERT_TRUE(转换单个文件(dir.text("a.txt"), "UTF-8", "GBK").已转换);
  const auto acl_of = [](const std::filesystem::path& p) {
    const std::string command = "getfacl -cp '" + p.string() + "' 2>/dev/null";
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
      char buffer[256];
      while (fgets(buffer, sizeof buffer, pipe)) out += buffer;
      pclose(pipe);
    }
    return out;
  };
  EXPECT_NE(acl_of(dir.native("a.txt")).find("group::---"), std::string::npos);
  EXPECT_EQ(acl_of(dir.native("GBK  a.txt")), acl_of(dir.native("a.txt")));

  // A folder whose new files take its group: the output keeps the source's.
  // The folder's group is one this user may give it: any group as root,
  // else another group it is a member of.
  gid_t folder_group = 65534;
  if (geteuid() != 0) {
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(getgroups(0, nullptr), 0)));
    groups.resize(static_cast<std::size_t>(std::max(getgroups(static_cast<int>(groups.size()), groups.data()), 0)));
    const auto other = std::find_if(groups.begin(), groups.end(), [](gid_t g) { return g != getgid(); });
    if (other == groups.end()) GTEST_SKIP() << "a set-group-id folder needs a second group of this user";
    folder_group = *other;
  }
  std::filesystem::create_directory(dir.native("shared"));
  const std::string shared = dir.native("shared").string();
  ASSERT_EQ(chown(shared.c_str(), static_cast<uid_t>(-1), folder_group), 0);
  ASSERT_EQ(chmod(shared.c_str(), 02775), 0);
  dir.write("shared/b.txt", "abc\n");
  const std::string b = dir.native("shared/b.txt").string();
  ASSERT_EQ(chown(b.c_str(), static_cast<uid_t>(-1), getgid()), 0);
  ASSERT_EQ(chmod(b.c_str(), 0640), 0);
  ASSERT_TRUE(转换单个文件(dir.text("shared/b.txt"), "UTF-8", "GBK").已转换);
  struct stat out {};
  ASSERT_EQ(stat(dir.native("shared/GBK  b.txt").c_str(), &out), 0);
  // Kept where this user may (root, or a member of it); where not, the
  // folder's group gets no bits at all.
  if (out.st_gid == folder_group) {
    EXPECT_EQ(out.st_mode & 070, 0u);
  } else {
    EXPECT_EQ(out.st_gid, getgid());
  }
}
