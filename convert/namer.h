#pragma once
// Gives prepared outputs their names on a thread of its own, one at a time:
// naming changes the folder, and a busy file system can hold that up for
// many milliseconds, which the window's thread must never wait out.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "convert/single_file.h"

class Namer {
 public:
  // `on_named` is called, on the namer's thread, after each naming.
  explicit Namer(std::function<void()> on_named);
  // Finishes the naming under way, if any, and ends the thread.
  ~Namer();
  Namer(const Namer&) = delete;
  Namer& operator=(const Namer&) = delete;

  // Whether the thread could be started; without it nothing is ever named.
  bool working() const { return thread_.joinable(); }

  // Starts naming `prepared` (as 完成转换 does); one at a time.
  void name(预备转换 prepared);
  // The result of the last naming, once it is done; nothing until then.
  std::optional<转换结果> result();

 private:
  void work();

  std::function<void()> on_named_;
  std::optional<预备转换> job_;
  std::optional<转换结果> result_;
  bool stopping_ = false;
  std::mutex mutex_;
  std::condition_variable job_changed_;
  std::thread thread_;
};
