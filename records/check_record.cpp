#include "records/check_record.h"

#include <sys/stat.h>

#include <cerrno>
#include <optional>

#include "game/level.h"
#include "records/atomic_file.h"
#include "records/records_file.h"

namespace porteka {
namespace {

// The table to start from when the file cannot be read: the default records,
// provided the unreadable file is not something we would destroy. Empty means
// leave everything alone: the file is a directory or a device, or its bytes
// could not be kept in the backup first (then the directory is most likely
// unwritable anyway).
std::optional<RecordTable> RepairBase(const std::filesystem::path& file) {
  struct stat status {};
  if (::stat(file.c_str(), &status) != 0) {
    if (errno != ENOENT) {
      return std::nullopt;
    }
    return DefaultRecords();
  }
  if (!S_ISREG(status.st_mode)) {
    return std::nullopt;
  }
  // One damaged line used to cost all three records for good; now the old
  // bytes stay beside the new file for anyone who wants them back.
  if (!CopyFileAtomically(file, BackupPathFor(file))) {
    return std::nullopt;
  }
  return DefaultRecords();
}

}  // namespace

std::filesystem::path BackupPathFor(const std::filesystem::path& file) {
  std::filesystem::path backup = file;
  backup += ".bak";
  return backup;
}

bool CheckRecord(const std::filesystem::path& file, int16_t gameLevel, int32_t elapsedTime) {
  if (!IsFixedLevel(gameLevel)) {
    return false;
  }
  std::optional<RecordTable> records = ReadRecords(file);
  if (!records) {
    // Repaired once and read again; if that fails too, no record this time.
    const std::optional<RecordTable> base = RepairBase(file);
    if (!base || !WriteRecords(file, *base)) {
      return false;
    }
    records = ReadRecords(file);
    if (!records) {
      return false;
    }
  }
  return (*records)[static_cast<size_t>(gameLevel)].time > elapsedTime;
}

void SaveRecord(const std::filesystem::path& file, int16_t gameLevel, const std::string& name,
                int32_t elapsedTime) {
  if (!IsFixedLevel(gameLevel)) {
    return;
  }
  std::optional<RecordTable> records = ReadRecords(file);
  if (!records) {
    records = RepairBase(file);
    if (!records) {
      return;
    }
  }
  (*records)[static_cast<size_t>(gameLevel)] = Record{name, elapsedTime};
  WriteRecords(file, *records);
}

}  // namespace porteka
