#include "records/unsaved_record.h"

#include <cstdlib>
#include <utility>

#include "records/check_record.h"

namespace porteka {
namespace {

// The records waiting now, newest first; one in practice.
UnsavedRecord* waiting = nullptr;

}  // namespace

UnsavedRecord::UnsavedRecord(std::filesystem::path file, Level gameLevel, int32_t elapsedTime, std::string name)
    : file_(std::move(file)), gameLevel_(gameLevel), elapsedTime_(elapsedTime), name_(std::move(name)),
      previous_(waiting) {
  static const bool registered = std::atexit(&UnsavedRecord::SaveAtExit) == 0;
  (void)registered;
  waiting = this;
}

UnsavedRecord::~UnsavedRecord() {
  UnsavedRecord** link = &waiting;
  while (*link != nullptr && *link != this) link = &(*link)->previous_;
  if (*link == this) *link = previous_;
}

void UnsavedRecord::Save() {
  if (saved_) return;
  saved_ = true;
  SaveRecord(file_, gameLevel_, name_, elapsedTime_);
}

void UnsavedRecord::SaveAtExit() {
  for (UnsavedRecord* record = waiting; record != nullptr; record = record->previous_) record->Save();
}

}  // namespace porteka
