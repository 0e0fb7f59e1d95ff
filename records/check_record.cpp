#include "records/check_record.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "game/level.h"
#include "records/atomic_file.h"
#include "records/records_file.h"

namespace porteka {
namespace {

constexpr int kBackups = 5;

std::filesystem::path Backup(const std::filesystem::path& file, int number) {
  std::filesystem::path backup = file;
  backup += ".bak" + std::to_string(number);
  return backup;
}

// The damaged bytes become a new "<file>.bak1" in the file's own directory,
// and the backups already there move up one number, the fifth falling away.
// Only plain files move: a link by a backup's name is replaced, so the bytes
// never land anywhere else. The copy is complete before anything moves.
bool KeepBackup(const std::filesystem::path& file) {
  struct stat status {};
  const int source = OpenPlainFile(file, O_RDONLY, &status);
  if (source < 0) {
    return false;
  }
  TemporaryFile copy(Backup(file, 1));
  const bool copied = copy.fd() >= 0 && ::fchmod(copy.fd(), status.st_mode & 0777) == 0 && CopyAll(source, copy.fd());
  ::close(source);
  if (!copied) {
    return false;
  }
  for (int number = kBackups - 1; number >= 1; --number) {
    struct stat older {};
    if (::lstat(Backup(file, number).c_str(), &older) == 0 && S_ISREG(older.st_mode)) {
      ::rename(Backup(file, number).c_str(), Backup(file, number + 1).c_str());
    }
  }
  return copy.PutInPlace();
}

// The table to start from when the file cannot be read: the default records,
// provided the unreadable file is not something we would destroy. Empty means
// leave everything alone: the file is a directory or a device, or its bytes
// could not be kept in a backup first (then the directory is most likely
// unwritable anyway).
std::optional<RecordTable> RepairBase(const std::filesystem::path& file) {
  struct stat status {};
  if (::stat(file.c_str(), &status) != 0) {
    if (errno != ENOENT) {
      return std::nullopt;
    }
    return DefaultRecords();
  }
  if (!S_ISREG(status.st_mode) || !KeepBackup(file)) {
    return std::nullopt;
  }
  return DefaultRecords();
}

}  // namespace

bool CheckRecord(const std::filesystem::path& file, int16_t gameLevel, int32_t elapsedTime) {
  if (!IsFixedLevel(gameLevel)) {
    return false;
  }
  const DirectoryLock lock(file);
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
  return (*records)[static_cast<size_t>(gameLevel)].time > elapsedTime && CanReplaceFile(file);
}

void SaveRecord(const std::filesystem::path& file, int16_t gameLevel, const std::string& name,
                int32_t elapsedTime) {
  if (!IsFixedLevel(gameLevel)) {
    return;
  }
  // Read, change and write under one lock: another game saving meanwhile
  // would otherwise write back the line this save changes.
  const DirectoryLock lock(file);
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
