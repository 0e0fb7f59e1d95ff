#include "records/file_worker.h"

#include <utility>

namespace porteka {

FileWorker::~FileWorker() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void FileWorker::Post(std::function<void()> job) {
  {
    const std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
  }
  wake_.notify_one();
}

void FileWorker::Finish() {
  std::unique_lock lock(mutex_);
  // A job that waits for the jobs would wait for itself.
  if (thread_.get_id() == std::this_thread::get_id()) return;
  idle_.wait(lock, [this] { return jobs_.empty() && !busy_; });
}

void FileWorker::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    if (jobs_.empty()) return;
    std::function<void()> job = std::move(jobs_.front());
    jobs_.pop_front();
    busy_ = true;
    lock.unlock();
    try {
      job();
    } catch (...) {
      // A job that could not get the memory it needed has done what it could.
    }
    lock.lock();
    busy_ = false;
    if (jobs_.empty()) idle_.notify_all();
  }
}

}  // namespace porteka
