#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "game/game.h"

namespace porteka {

// A record waiting in the new-record dialog for its name. Should the process
// end while one waits, without the dialog closing (the X library ends the
// program with exit() when the display goes away), it is saved on the way
// out, with the name as typed so far. Saved at most once.
class UnsavedRecord {
 public:
  UnsavedRecord(std::filesystem::path file, Level gameLevel, int32_t elapsedTime, std::string name);
  ~UnsavedRecord();
  UnsavedRecord(const UnsavedRecord&) = delete;
  UnsavedRecord& operator=(const UnsavedRecord&) = delete;

  void SetName(std::string name) { name_ = std::move(name); }
  void Save();

 private:
  static void SaveAtExit();

  std::filesystem::path file_;
  Level gameLevel_;
  int32_t elapsedTime_;
  std::string name_;
  bool saved_ = false;
  UnsavedRecord* previous_;
};

}  // namespace porteka
