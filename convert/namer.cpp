#include "convert/namer.h"

#include <system_error>

Namer::Namer(std::function<void()> on_named) : on_named_(std::move(on_named)) {
  try {
    thread_ = std::thread([this] { work(); });
  } catch (const std::system_error&) {
    // No thread: working() says so.
  }
}

Namer::~Namer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  job_changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void Namer::name(预备转换 prepared) {
  {
    std::lock_guard lock(mutex_);
    result_.reset();
    job_.emplace(std::move(prepared));
  }
  job_changed_.notify_all();
}

std::optional<转换结果> Namer::result() {
  std::lock_guard lock(mutex_);
  std::optional<转换结果> done = std::move(result_);
  result_.reset();
  return done;
}

void Namer::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    // A naming asked for is done even when stopping: the run has reached
    // its file, and a half-named file cannot be.
    job_changed_.wait(lock, [this] { return stopping_ || job_.has_value(); });
    if (!job_) return;
    预备转换 prepared = std::move(*job_);
    job_.reset();
    lock.unlock();
    转换结果 named = 完成转换(std::move(prepared));
    lock.lock();
    result_.emplace(std::move(named));
    lock.unlock();
    on_named_();
    lock.lock();
  }
}
