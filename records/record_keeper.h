#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <list>
#include <mutex>
#include <string>

#include "game/game.h"
#include "records/file_worker.h"
#include "records/finished_at_exit.h"

namespace porteka {

// Looks after the records the player wins, from the records check to the
// disk. A record held for the new-record dialog keeps the name typed so far;
// once named it is saved off the thread that draws. One that cannot be saved
// (a full disk, a folder made read-only) stays here and is tried again with
// the next save and when the game ends, whichever way it ends: should the
// process exit under a dialog (the X library calls exit() when the display
// goes away), every record still held is saved on the way out, with the name
// as typed so far. A record may carry the run that made it: the run is saved
// beside the records file once the record has gone in, and a run that cannot
// be saved costs the record nothing.
class RecordKeeper final : public FinishedAtExit {
 public:
  struct Failure {
    Level level;
    int32_t time;
    int error;  // errno
  };
  // Called on the worker's thread, once for the first of a run of failed
  // saves; a save that succeeds ends the run.
  using FailureReport = std::function<void(const Failure&)>;

  RecordKeeper(std::filesystem::path file, FileWorker& worker, FailureReport report = nullptr);
  // Finish().
  ~RecordKeeper();

  const std::filesystem::path& file() const { return file_; }

  // The records check (CheckRecord): never waits for a lock.
  bool Check(Level level, int32_t elapsedTime) const;

  // A record waiting for its name, with its run (none: empty); the number
  // names it in the calls below.
  int Hold(Level level, int32_t elapsedTime, std::string name, std::string run = {});
  void Rename(int held, std::string name);
  // The name is final: saved in the background.
  void Save(int held);

  // Waits for the saves under way and tries every record still held, once,
  // here and now. Answers the records that could not be saved.
  int Finish() override;

 private:
  struct Held {
    int number;
    Level level;
    int32_t time;
    std::string name;
    std::string run;
    bool named = false;
  };
  // Tries every named record; on the worker's thread, or at the end.
  void SaveNamed(bool report);

  std::filesystem::path file_;
  FileWorker& worker_;
  FailureReport report_;
  std::mutex mutex_;
  std::list<Held> held_;
  int next_ = 0;
  bool failing_ = false;
};

}  // namespace porteka
