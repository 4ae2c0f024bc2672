#include "private_disk.h"

#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

int in_child(const std::function<int()>& body) {
  const pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

namespace {

bool write_file(const char* path, const std::string& text) {
  std::ofstream out(path);
  return static_cast<bool>(out << text << std::flush);
}

}  // namespace

bool enter_private_mounts() {
  if (unshare(CLONE_NEWNS) != 0) {
    if (errno != EPERM) return false;
    // This user stays who it is outside: only its own ids are mapped.
    const std::string uid = std::to_string(getuid());
    const std::string gid = std::to_string(getgid());
    if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return false;
    if (!write_file("/proc/self/setgroups", "deny") || !write_file("/proc/self/uid_map", "0 " + uid + " 1") ||
        !write_file("/proc/self/gid_map", "0 " + gid + " 1")) {
      return false;
    }
  }
  return mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

bool mount_private_disk(const TempFolder& dir, DiskKind kind, int mib) {
  if (!enter_private_mounts()) return false;
  const std::string size = std::to_string(mib);
  if (kind == DiskKind::tmpfs) {
    return mount("tmpfs", dir.path().c_str(), "tmpfs", 0, ("size=" + size + "m").c_str()) == 0;
  }
  // The image is removed as soon as it is mounted: the loop device keeps it
  // until the mount goes with this namespace.
  const std::string commands =
      "d=$(mktemp -d) && (set -e; truncate -s " + size + "M \"$d/disk.img\"; " +
      "mkfs.ext3 -q -F \"$d/disk.img\"; mount -o loop \"$d/disk.img\" '" + dir.path().string() +
      "') >/dev/null 2>&1; r=$?; rm -rf \"$d\"; exit $r";
  return std::system(commands.c_str()) == 0;
}

bool refuse_unnamed_files() {
#if defined(__x86_64__)
  // openat() with the unnamed-file flag in its flags argument (the low 32
  // bits of args[2]) gets EOPNOTSUPP; every other call goes through.
  constexpr std::uint32_t kUnnamedFlag = 020000000;
  sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 1, 0),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_openat, 0, 3),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[2])),
      BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, kUnnamedFlag, 0, 1),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EOPNOTSUPP),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
  };
  sock_fprog program{static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
  return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
         prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
#else
  return false;
#endif
}
