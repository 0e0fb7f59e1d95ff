#include "records/check_record.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <optional>

#include "game/level.h"
#include "records/atomic_file.h"
#include "records/records_file.h"

namespace porteka {
namespace {

constexpr int kBackups = 5;
// Saves of other games noticed in a row before this one gives up.
constexpr int kAttempts = 8;

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
  const bool copied = copy.fd() >= 0 && ::fchmod(copy.fd(), status.st_mode & 0777) == 0 &&
                      CopyAll(source, copy.fd()) && copy.Flush();
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

// One read-change-write of the file, repairing it first when it cannot be
// read. `change` answers whether there is anything to write. Another game may
// save meanwhile: the lock makes it wait, and should the lock not be had in
// time, that game's save is noticed right before the new file goes in, and the
// change is made again on what it wrote. The table the file holds afterwards;
// empty when it could not be read or written.
std::optional<RecordTable> ChangeRecords(const std::filesystem::path& file,
                                         const std::function<bool(RecordTable&, bool repaired)>& change) {
  const DirectoryLock lock(file);
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const std::optional<std::string> before = ReadRecordLines(file);
    std::optional<RecordTable> records = before ? ParseRecords(*before) : std::nullopt;
    const bool repaired = !records;
    if (repaired && !(records = RepairBase(file))) {
      return std::nullopt;
    }
    if (!change(*records, repaired)) {
      return records;
    }
    switch (WriteFileAtomically(file, SerializeRecords(*records), [&] { return ReadRecordLines(file) == before; })) {
      case WriteOutcome::kWritten:
        return records;
      case WriteOutcome::kFailed:
        return std::nullopt;
      case WriteOutcome::kChanged:
        break;
    }
  }
  return std::nullopt;
}

}  // namespace

bool CheckRecord(const std::filesystem::path& file, Level gameLevel, int32_t elapsedTime) {
  if (!IsFixedLevel(gameLevel)) {
    return false;
  }
  // Repaired once, when it must be; if that fails, no record this time.
  const std::optional<RecordTable> records = ChangeRecords(file, [](RecordTable&, bool repaired) { return repaired; });
  return records && (*records)[static_cast<size_t>(gameLevel)].time > elapsedTime && CanReplaceFile(file);
}

void SaveRecord(const std::filesystem::path& file, Level gameLevel, const std::string& name,
                int32_t elapsedTime) {
  if (!IsFixedLevel(gameLevel)) {
    return;
  }
  ChangeRecords(file, [&](RecordTable& records, bool) {
    records[static_cast<size_t>(gameLevel)] = Record{name, elapsedTime};
    return true;
  });
}

}  // namespace porteka
