#include "records/record_keeper.h"

#include <utility>
#include <vector>

#include "records/check_record.h"
#include "records/run_files.h"

namespace porteka {

RecordKeeper::RecordKeeper(std::filesystem::path file, FileWorker& worker, FailureReport report)
    : file_(std::move(file)), worker_(worker), report_(std::move(report)) {}

RecordKeeper::~RecordKeeper() { Finish(); }

bool RecordKeeper::Check(Level level, int32_t elapsedTime) const { return CheckRecord(file_, level, elapsedTime); }

int RecordKeeper::Hold(Level level, int32_t elapsedTime, std::string name, std::string run) {
  const std::lock_guard lock(mutex_);
  held_.push_back(Held{next_, level, elapsedTime, std::move(name), std::move(run)});
  return next_++;
}

void RecordKeeper::Rename(int held, std::string name) {
  const std::lock_guard lock(mutex_);
  for (Held& record : held_) {
    if (record.number == held) record.name = std::move(name);
  }
}

void RecordKeeper::Save(int held) {
  {
    const std::lock_guard lock(mutex_);
    for (Held& record : held_) {
      if (record.number == held) record.named = true;
    }
  }
  worker_.Post([this] { SaveNamed(/*report=*/true); });
}

void RecordKeeper::SaveNamed(bool report) {
  std::vector<Held> named;
  {
    const std::lock_guard lock(mutex_);
    for (const Held& record : held_) {
      if (record.named) named.push_back(record);
    }
  }
  for (const Held& record : named) {
    const WriteResult result = SaveRecord(file_, record.level, record.name, record.time);
    if (result.outcome == WriteResult::Outcome::kWritten && !record.run.empty()) {
      SaveRecordRun(file_, record.level, record.time, record.run);
    }
    const std::lock_guard lock(mutex_);
    if (result.outcome == WriteResult::Outcome::kFailed) {
      if (report && !failing_ && report_) report_(Failure{record.level, record.time, result.error});
      failing_ = true;
      continue;
    }
    failing_ = false;
    held_.remove_if([&](const Held& kept) { return kept.number == record.number; });
  }
}

int RecordKeeper::Finish() {
  worker_.Finish();
  {
    // Whatever is still held is as named as it will ever be.
    const std::lock_guard lock(mutex_);
    for (Held& record : held_) record.named = true;
  }
  SaveNamed(/*report=*/false);
  const std::lock_guard lock(mutex_);
  return static_cast<int>(held_.size());
}


}  // namespace porteka
