#include "records/run_files.h"

#include <string>

#include "game/level.h"
#include "records/records_file.h"

namespace porteka {

std::filesystem::path RunFileOf(const std::filesystem::path& recordsFile, Level level) {
  static constexpr const char* kLevelNames[] = {"beginner", "intermediate", "advanced"};
  const auto index = static_cast<size_t>(IsFixedLevel(level) ? level : Level::Beginner);
  std::filesystem::path run = recordsFile;
  run.replace_filename(recordsFile.stem().string() + "." + kLevelNames[index] + ".json");
  return run;
}

WriteResult SaveRecordRun(const std::filesystem::path& recordsFile, Level level, int32_t time, std::string_view run) {
  if (!IsFixedLevel(level)) return {WriteResult::Outcome::kUnchanged, 0};
  return UpdatePlayerFile(RunFileOf(recordsFile, level), kMaxRunFileBytes, [&](const FileRead& found) {
    // Asked under the folder's lock, which every save of a record holds too.
    const RecordsRead records = ReadRecordsFile(recordsFile);
    if (records.status != RecordsRead::Status::kRead || records.records[static_cast<size_t>(level)].time != time) {
      return FileChange{};
    }
    return FileChange{std::string(run), found.status == FileRead::Status::kTooLarge};
  });
}

}  // namespace porteka
