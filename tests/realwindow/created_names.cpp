// Prints each name that comes to be in the given folders, in the order it
// came (one queue for all of them), as FOLDER/NAME, one a line: a file
// created or linked there, or renamed to it. "watching" first, once every
// folder is watched. Runs until it is ended.
//   created-names FOLDER...
#include <sys/inotify.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: created-names FOLDER...\n");
    return 2;
  }
  const int fd = inotify_init1(IN_CLOEXEC);
  if (fd < 0) {
    std::perror("inotify_init1");
    return 1;
  }
  std::map<int, std::string> folders;
  for (int i = 1; i < argc; ++i) {
    const int wd = inotify_add_watch(fd, argv[i], IN_CREATE | IN_MOVED_TO);
    if (wd < 0) {
      std::perror(argv[i]);
      return 1;
    }
    folders[wd] = argv[i];
  }
  std::printf("watching\n");
  std::fflush(stdout);
  alignas(inotify_event) char buffer[65536];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got <= 0) return 1;
    for (ssize_t at = 0; at < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      if (event->len > 0) std::printf("%s/%s\n", folders[event->wd].c_str(), event->name);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
    std::fflush(stdout);
  }
}
