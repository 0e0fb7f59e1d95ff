#include "records/check_record.h"

#include <cerrno>
#include <optional>

#include "game/level.h"
#include "records/records_file.h"

namespace porteka {
namespace {

// The change every write of the records file makes: a missing or damaged file
// becomes the default one, and a better time takes its level's line. Asked
// again with another game's file, it keeps the best line of each level of
// every file it has seen, so that whatever it swapped out is kept as well.
WriteResult ChangeRecords(const std::filesystem::path& file, std::optional<Record> better, Level gameLevel,
                          bool wait) {
  std::optional<RecordTable> best;
  return UpdatePlayerFile(
      file, kMaxRecordsFileBytes,
      [&](const FileRead& found) {
        std::optional<RecordTable> records;
        if (found.status == FileRead::Status::kRead) records = ParseRecords(found.bytes);
        const bool mend = !records;
        const RecordTable before = records.value_or(DefaultRecords());
        RecordTable after = before;
        if (best) {
          for (size_t level = 0; level < after.size(); ++level) {
            if ((*best)[level].time < after[level].time) after[level] = (*best)[level];
          }
        }
        Record& line = after[static_cast<size_t>(gameLevel)];
        if (better && line.time > better->time) line = *better;
        best = after;
        if (after == before && !mend) return FileChange{};
        return FileChange{SerializeRecords(after), mend && found.status != FileRead::Status::kMissing};
      },
      /*idempotent=*/true, wait);
}

}  // namespace

bool CheckRecord(const std::filesystem::path& file, Level gameLevel, int32_t elapsedTime) {
  if (!IsFixedLevel(gameLevel)) {
    return false;
  }
  const RecordsRead read = ReadRecordsFile(file);
  switch (read.status) {
    case RecordsRead::Status::kUnreadable:
      return false;
    case RecordsRead::Status::kRead:
      return read.records[static_cast<size_t>(gameLevel)].time > elapsedTime && CanWritePlayerFile(file);
    case RecordsRead::Status::kMissing:
    case RecordsRead::Status::kDamaged:
      break;
  }
  if (!CanWritePlayerFile(file, read.status == RecordsRead::Status::kDamaged)) {
    return false;
  }
  // Mended now, unless another game is writing: then the save mends it.
  const WriteResult mended = ChangeRecords(file, std::nullopt, gameLevel, /*wait=*/false);
  if (mended.outcome == WriteResult::Outcome::kFailed && mended.error != EWOULDBLOCK) {
    return false;
  }
  return kDefaultRecordTime > elapsedTime;
}

WriteResult SaveRecord(const std::filesystem::path& file, Level gameLevel, const std::string& name,
                       int32_t elapsedTime) {
  if (!IsFixedLevel(gameLevel)) {
    return {WriteResult::Outcome::kUnchanged, 0};
  }
  return ChangeRecords(file, Record{name, elapsedTime}, gameLevel, /*wait=*/true);
}

}  // namespace porteka
