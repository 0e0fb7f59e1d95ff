#include "records/player_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <system_error>
#include <vector>

namespace porteka {
namespace {

namespace fs = std::filesystem;

// A second at most: far longer than a save takes, even one that waits for a
// busy disk. The steps are short, as a game that saves again at once gives
// the lock up only for a moment.
constexpr int kLockTries = 4000;
constexpr useconds_t kLockStep = 250;
constexpr int kLinkHops = 40;
constexpr int kBackups = 5;
// Other games' writes noticed in a row before this one gives up. Each of them
// is another game's write that went through, and a game that swapped out
// another's file holds the only copy of it until it is back in place, so the
// bound is far beyond what games do.
constexpr int kRounds = 1000;
// Without a lock or a swap, another game's rename follows ours by the time it
// takes to rename, unless that game is held up in between: look again after
// that, and once more a while later.
constexpr useconds_t kReadBackDelays[] = {20000, 250000};

WriteResult Failed(int error) { return {WriteResult::Outcome::kFailed, error != 0 ? error : EIO}; }

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

fs::path DirectoryOf(const fs::path& file) { return file.has_parent_path() ? file.parent_path() : fs::path("."); }

bool MayWrite(const fs::path& path, int mode) { return ::faccessat(AT_FDCWD, path.c_str(), mode, AT_EACCESS) == 0; }

FileIdentity IdentityOf(const struct stat& status) {
  return {status.st_dev, status.st_ino, status.st_size, status.st_mtim};
}

std::optional<FileIdentity> IdentityAt(const fs::path& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  return IdentityOf(status);
}

bool LinkMayBeFollowed(const fs::path& link, const struct stat& linkStatus) {
  const uid_t me = ::geteuid();
  if (linkStatus.st_uid == me || linkStatus.st_uid == 0) return true;
  struct stat folder {};
  return ::stat(DirectoryOf(link).c_str(), &folder) == 0 && folder.st_uid == me &&
         (folder.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

FileRead ReadResolved(const fs::path& path, size_t maxBytes) {
  FileRead read;
  // The last step of the name was checked to be no link; one planted since is not followed.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) {
    read.error = errno;
    read.status = errno == ENOENT ? FileRead::Status::kMissing : FileRead::Status::kUnreadable;
    return read;
  }
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    read.status = FileRead::Status::kUnreadable;
    read.error = EINVAL;
  } else if (static_cast<uintmax_t>(status.st_size) > maxBytes) {
    read.status = FileRead::Status::kTooLarge;
    read.identity = IdentityOf(status);
  } else {
    read.identity = IdentityOf(status);
    read.status = FileRead::Status::kRead;
    char buffer[16384];
    for (;;) {
      const ssize_t got = ::read(fd, buffer, sizeof buffer);
      if (got == 0) break;
      if (got < 0) {
        if (errno == EINTR) continue;
        read.status = FileRead::Status::kUnreadable;
        read.error = errno;
        break;
      }
      read.bytes.append(buffer, static_cast<size_t>(got));
      // It grew while it was read.
      if (read.bytes.size() > maxBytes) {
        read.status = FileRead::Status::kTooLarge;
        break;
      }
    }
    if (read.status != FileRead::Status::kRead) read.bytes.clear();
  }
  ::close(fd);
  return read;
}

// "<name>...tmp<pid>-<n>" whose process no longer runs: half-made files of a
// game killed in the middle of a write, backups' included. A process that
// runs under another user still counts as running.
void RemoveStaleTemporaries(const fs::path& file) {
  const std::string prefix = file.filename().string() + ".";
  DIR* directory = ::opendir(DirectoryOf(file).c_str());
  if (directory == nullptr) return;
  while (const dirent* entry = ::readdir(directory)) {
    const std::string_view name = entry->d_name;
    const size_t tmp = name.rfind(".tmp");
    if (!name.starts_with(prefix) || tmp == std::string_view::npos || tmp + 1 < prefix.size()) continue;
    const char* end = name.data() + name.size();
    pid_t pid = 0;
    unsigned attempt = 0;
    const auto [dash, pidError] = std::from_chars(name.data() + tmp + 4, end, pid);
    if (pidError != std::errc() || pid <= 0 || dash == end || *dash != '-') continue;
    const auto [last, attemptError] = std::from_chars(dash + 1, end, attempt);
    if (attemptError != std::errc() || last != end) continue;
    if (::kill(pid, 0) != 0 && errno == ESRCH) ::unlinkat(::dirfd(directory), entry->d_name, 0);
  }
  ::closedir(directory);
}

// A new file beside `file` as "<file>.tmp<pid>-<n>", removed again unless it
// took the file's name.
class TemporaryFile {
 public:
  explicit TemporaryFile(fs::path file) : file_(std::move(file)) {
    RemoveStaleTemporaries(file_);
    const std::string base = file_.string() + ".tmp" + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
      name_ = base + std::to_string(attempt);
      // 0666 under the umask, like any file the game creates by plain open.
      fd_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
      error_ = errno;
      name_.clear();  // not ours
    }
  }
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!name_.empty()) ::unlink(name_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  int fd() const { return fd_; }
  int error() const { return error_; }
  const std::string& name() const { return name_; }

  // The bytes, flushed to the disk, the file closed.
  bool Fill(std::string_view bytes) {
    bool ok = ::ftruncate(fd_, 0) == 0 && ::lseek(fd_, 0, SEEK_SET) == 0 &&
              WriteAll(fd_, bytes.data(), bytes.size()) && ::fsync(fd_) == 0;
    if (!ok) error_ = errno;
    return ok;
  }
  // After a swap the name holds the file that was swapped out: it is no
  // longer ours to keep.
  void Forget() { name_.clear(); }
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  fs::path file_;
  std::string name_;
  int fd_ = -1;
  int error_ = 0;
};

// The new name must reach the disk too, or a power cut could bring the old
// file back.
void SyncDirectory(const fs::path& file) {
  const int directory = ::open(DirectoryOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directory < 0) return;
  ::fsync(directory);
  ::close(directory);
}

// Gives the new file the old one's owner, group and mode; false when this
// player may not give it that owner or group.
bool TakeOver(int fd, const struct stat& old) {
  struct stat now {};
  if (::fstat(fd, &now) != 0) return false;
  if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0) {
    return false;
  }
  return ::fchmod(fd, old.st_mode & 07777) == 0;
}

// The old file's own bytes are overwritten. Room for the new bytes is claimed
// first, so that a full disk fails before anything has changed.
int WriteInPlace(const fs::path& file, std::string_view bytes) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return errno;
  struct stat status {};
  int error = ::fstat(fd, &status) != 0 ? errno : S_ISREG(status.st_mode) ? 0 : EINVAL;
  if (error == 0) {
    const int room = ::posix_fallocate(fd, 0, static_cast<off_t>(bytes.size()));
    if (room == ENOSPC || room == EFBIG || room == EDQUOT) {
      error = room;
    } else if (!WriteAll(fd, bytes.data(), bytes.size()) || ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0 ||
               ::fsync(fd) != 0) {
      error = errno;
    }
  }
  if (::close(fd) != 0 && error == 0) error = errno;
  return error;
}

fs::path Backup(const fs::path& file, int number) {
  fs::path backup = file;
  backup += ".bak" + std::to_string(number);
  return backup;
}

// The damaged file becomes "<file>.bak1", the plain backups already there
// moving up one name, the last one falling away. A name taken by a folder or
// anything else but a plain file or a link is passed over, so no old backup is
// lost to it; a link by a backup's name is replaced, never followed. Only the
// file the change saw is set aside.
bool SetAside(const fs::path& file, const std::optional<FileIdentity>& seen) {
  std::vector<int> names;
  for (int number = 1; number <= kBackups; ++number) {
    struct stat status {};
    const bool taken = ::lstat(Backup(file, number).c_str(), &status) == 0;
    if (!taken || S_ISREG(status.st_mode) || S_ISLNK(status.st_mode)) names.push_back(number);
  }
  if (names.empty() || !seen || IdentityAt(file) != seen) return false;
  for (size_t i = names.size() - 1; i-- > 0;) {
    struct stat status {};
    if (::lstat(Backup(file, names[i]).c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
        ::rename(Backup(file, names[i]).c_str(), Backup(file, names[i + 1]).c_str()) != 0) {
      return false;
    }
  }
  return ::rename(file.c_str(), Backup(file, names.front()).c_str()) == 0;
}

enum class Placed {
  kDone,
  kFailed,
  kOverwritten,  // another game's file came in first: read the file again
  kHandedOver,   // another game's file was swapped out: `found` holds it
};

// Puts the bytes in place of `file`, which should still be the file
// `expected` names (none: no file), holding `expectedBytes`. kHandedOver:
// another game's file came in between and was swapped out again; `found` now
// holds it, to be changed again, and `expected` and `expectedBytes` name what
// is in place now.
Placed PutInPlace(const fs::path& file, size_t maxBytes, FileRead& found, std::optional<FileIdentity>& expected,
                  std::string& expectedBytes, std::string_view bytes, bool setAside, bool locked, bool idempotent,
                  int& error) {
  struct stat old {};
  const bool exists = ::lstat(file.c_str(), &old) == 0;
  // A file the player made read-only stays untouched, as it would if it were
  // opened for writing; a rename would otherwise quietly replace it.
  if (exists && (!S_ISREG(old.st_mode) || !MayWrite(file, W_OK))) {
    error = S_ISREG(old.st_mode) ? EACCES : EINVAL;
    return Placed::kFailed;
  }
  if (exists ? IdentityOf(old) != expected : expected.has_value()) return Placed::kOverwritten;

  TemporaryFile temporary(file);
  // A damaged file goes aside whoever owns it; the new one is this player's.
  const bool inPlace = temporary.fd() < 0 || (exists && !setAside && !TakeOver(temporary.fd(), old));
  if (inPlace) {
    if (!exists || setAside) {
      error = temporary.fd() < 0 ? temporary.error() : EACCES;
      return Placed::kFailed;
    }
    error = WriteInPlace(file, bytes);
    return error == 0 ? Placed::kDone : Placed::kFailed;
  }
  if (exists && setAside) ::fchmod(temporary.fd(), old.st_mode & 0777);
  if (!temporary.Fill(bytes)) {
    error = temporary.error();
    return Placed::kFailed;
  }
  if (exists && setAside) {
    if (!SetAside(file, expected)) {
      if (IdentityAt(file) != expected) return Placed::kOverwritten;
      error = EEXIST;
      return Placed::kFailed;
    }
    expected.reset();
  }

  const bool swap = expected.has_value();
  const unsigned flags = swap ? RENAME_EXCHANGE : RENAME_NOREPLACE;
  if (::renameat2(AT_FDCWD, temporary.name().c_str(), AT_FDCWD, file.c_str(), flags) == 0) {
    SyncDirectory(file);
    if (!swap) {
      temporary.Forget();
      return Placed::kDone;
    }
    // The file swapped out now has the temporary name: the one the change
    // saw, or another game's, to be changed again. Its bytes tell, since a
    // file made in the same moment may reuse the number of one just removed.
    FileRead out = ReadResolved(temporary.name(), maxBytes);
    const bool theOneSeen = out.status == FileRead::Status::kRead && out.bytes == expectedBytes;
    if (theOneSeen || out.status == FileRead::Status::kUnreadable) return Placed::kDone;
    found = std::move(out);
    expected = IdentityAt(file);
    expectedBytes = bytes;
    return Placed::kHandedOver;
  }
  // Another game made the file first, or set it aside.
  if (errno == EEXIST || errno == ENOENT) return Placed::kOverwritten;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
    error = errno;
    return Placed::kFailed;
  }

  // A file system that cannot swap: the last look before the rename, and
  // without a lock, another one after it.
  if (swap ? IdentityAt(file) != expected : ::access(file.c_str(), F_OK) == 0) return Placed::kOverwritten;
  temporary.Close();
  if (::rename(temporary.name().c_str(), file.c_str()) != 0) {
    error = errno;
    return Placed::kFailed;
  }
  temporary.Forget();
  SyncDirectory(file);
  if (locked || !idempotent) return Placed::kDone;
  for (const useconds_t delay : kReadBackDelays) {
    ::usleep(delay);
    FileRead again = ReadResolved(file, maxBytes);
    if (again.status != FileRead::Status::kRead || again.bytes == bytes) continue;
    found = std::move(again);
    expected = found.identity;
    expectedBytes = found.bytes;
    return Placed::kHandedOver;
  }
  return Placed::kDone;
}

}  // namespace

bool FileIdentity::operator==(const FileIdentity& other) const {
  return device == other.device && inode == other.inode && size == other.size &&
         modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

std::optional<fs::path> ResolvePlayerFile(const fs::path& file) {
  fs::path current = file;
  for (int hop = 0; hop <= kLinkHops; ++hop) {
    struct stat status {};
    if (::lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return current;
    if (!LinkMayBeFollowed(current, status)) return std::nullopt;
    std::error_code error;
    const fs::path target = fs::read_symlink(current, error);
    if (error || target.empty()) return std::nullopt;
    current = target.is_absolute() ? target : DirectoryOf(current) / target;
  }
  return std::nullopt;
}

FileRead ReadPlayerFile(const fs::path& file, size_t maxBytes) {
  const std::optional<fs::path> resolved = ResolvePlayerFile(file);
  if (!resolved) {
    FileRead read;
    read.status = FileRead::Status::kUnreadable;
    read.error = EACCES;
    return read;
  }
  return ReadResolved(*resolved, maxBytes);
}

WriteResult UpdatePlayerFile(const fs::path& file, size_t maxBytes,
                             const std::function<FileChange(const FileRead& found)>& change, bool idempotent,
                             bool wait) {
  const DirectoryLock lock(file, wait);
  if (!wait && lock.busy()) return Failed(EWOULDBLOCK);
  bool written = false;
  FileRead found;
  std::optional<FileIdentity> expected;
  std::string expectedBytes;
  std::optional<fs::path> resolved;
  for (int round = 0; round < kRounds; ++round) {
    if (round == 0 || !resolved) {
      // Links may have changed since the last look.
      if (!(resolved = ResolvePlayerFile(file))) return Failed(EACCES);
      found = ReadResolved(*resolved, maxBytes);
      expected = found.identity;
      expectedBytes = found.bytes;
    }
    if (found.status == FileRead::Status::kUnreadable) return Failed(found.error);
    // Another game's file swapped out by ours is held here alone: it goes
    // back, changed or not, unless what is in place holds it already.
    const bool holding = found.status == FileRead::Status::kRead && found.bytes != expectedBytes;
    FileChange changed = change(found);
    if (!changed.bytes && holding) changed.bytes = found.bytes;
    if (!changed.bytes || (holding && *changed.bytes == expectedBytes)) {
      return {written ? WriteResult::Outcome::kWritten : WriteResult::Outcome::kUnchanged, 0};
    }
    const bool setAside = changed.damaged || found.status == FileRead::Status::kTooLarge;
    int error = 0;
    switch (PutInPlace(*resolved, maxBytes, found, expected, expectedBytes, *changed.bytes, setAside, lock.held(),
                       idempotent, error)) {
      case Placed::kDone:
        return {WriteResult::Outcome::kWritten, 0};
      case Placed::kFailed:
        return Failed(error);
      case Placed::kOverwritten:
        resolved.reset();
        break;
      case Placed::kHandedOver:
        written = true;
        break;
    }
  }
  return Failed(EAGAIN);
}

WriteResult WritePlayerFile(const fs::path& file, std::string_view bytes, size_t maxBytes) {
  return UpdatePlayerFile(file, maxBytes, [&](const FileRead& found) {
    return FileChange{std::string(bytes), found.status == FileRead::Status::kTooLarge};
  });
}

bool CanWritePlayerFile(const fs::path& file, bool damaged) {
  const std::optional<fs::path> resolved = ResolvePlayerFile(file);
  if (!resolved) return false;
  struct stat status {};
  const bool folderTakesNames = MayWrite(DirectoryOf(*resolved), W_OK | X_OK);
  if (::lstat(resolved->c_str(), &status) == 0) {
    return S_ISREG(status.st_mode) && MayWrite(*resolved, W_OK) && (!damaged || folderTakesNames);
  }
  return errno == ENOENT && folderTakesNames;
}

DirectoryLock::DirectoryLock(const fs::path& file, bool wait) {
  const std::optional<fs::path> resolved = ResolvePlayerFile(file);
  if (!resolved) return;
  fd_ = ::open(DirectoryOf(*resolved).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  for (int attempt = 0; fd_ >= 0 && attempt < (wait ? kLockTries : 1); ++attempt) {
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
      held_ = true;
      return;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) return;
    busy_ = errno == EWOULDBLOCK;
    if (wait) ::usleep(kLockStep);
  }
}

DirectoryLock::~DirectoryLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace porteka
