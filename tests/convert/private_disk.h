#pragma once
// Real file systems for the conversion tests: a child process gets its own
// mount namespace and mounts a small disk over a test folder, so neither the
// mount nor a size or memory limit reaches the test runner.
#include <functional>
#include <string>

#include "temp_folder.h"

// Runs `body` in a child process and gives its exit code, or -1 when it did
// not exit normally (killed by a signal).
int in_child(const std::function<int()>& body);

// The exit code a child gives when this machine does not let it mount.
constexpr int kCannotMount = 77;

enum class DiskKind {
  tmpfs,  // memory-backed, with unnamed files and room reservation
  ext3,   // a loop-mounted image: unnamed files, but no room reservation
};

// Gives the calling process (a child) mounts of its own: as root a mount
// namespace, as an ordinary user one inside a user namespace of its own, in
// which it may mount memory disks and bind mounts but no loop devices.
// False where neither is allowed here.
bool enter_private_mounts();

// Mounts a fresh disk of `mib` MiB over `dir`, seen only by the calling
// process (call it in a child). False where mounts are not allowed here
// (ext3 needs root).
bool mount_private_disk(const TempFolder& dir, DiskKind kind, int mib);

// From here on, this process is refused unnamed files (O_TMPFILE) with the
// answer a file system without them gives. False where that cannot be set up.
bool refuse_unnamed_files();
