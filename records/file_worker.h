#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace porteka {

// Writes of the player's files happen here, one after another, off the thread
// that draws the frames: a write may wait a second for another game's lock,
// and the window must not stand still meanwhile. The thread starts with the
// first job.
class FileWorker {
 public:
  FileWorker() = default;
  // Does every job posted, then ends the thread.
  ~FileWorker();
  FileWorker(const FileWorker&) = delete;
  FileWorker& operator=(const FileWorker&) = delete;

  void Post(std::function<void()> job);
  // Returns once every job posted before has been done.
  void Finish();

 private:
  void Run();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<std::function<void()>> jobs_;
  bool busy_ = false;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace porteka
