#pragma once
// What the look-ahead's tests share: a run of small chapters, and what they
// ask the system about this process's threads, answered by each side in
// its own terms (look_ahead_support_linux.cpp, look_ahead_support_windows.cpp).
#include <string>
#include <vector>

#include "temp_folder.h"
#include "text/text.h"

namespace look_ahead_support {

// Files c0.txt, c1.txt, ... holding "第0\n", "第1\n", ... in UTF-8.
struct Chapters {
  TempFolder folder;
  std::vector<text::Text> paths;
  explicit Chapters(int count) {
    for (int i = 0; i < count; ++i) {
      const std::string name = "c" + std::to_string(i) + ".txt";
      folder.write(name, "\xE7\xAC\xAC" + std::to_string(i) + "\n");  // 第i
      paths.push_back(folder.text(name));
    }
  }
};

// The threads this process has now.
int threads_now();

// How many of this process's threads run at the background priority a
// worker lowers itself to: nice 10 on Linux, one step below normal on
// Windows.
int threads_at_background_priority();

// Whether the calling thread runs above that background priority.
bool this_thread_above_background_priority();

}  // namespace look_ahead_support
