#include "records/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <csignal>
#include <system_error>

namespace porteka {
namespace {

namespace fs = std::filesystem;

// A second at most: far longer than a save takes, even one that waits for a
// busy disk. The steps are short, as a game that saves again at once gives
// the lock up only for a moment.
constexpr int kLockTries = 4000;
constexpr useconds_t kLockStep = 250;

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

fs::path DirectoryOf(const fs::path& file) {
  return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

bool MayWrite(const fs::path& path, int mode) { return ::faccessat(AT_FDCWD, path.c_str(), mode, AT_EACCESS) == 0; }

// "<name>.tmp<pid>-<n>" whose process no longer runs. A process that runs
// under another user still counts as running.
void RemoveStaleTemporaries(const fs::path& file) {
  const std::string prefix = file.filename().string() + ".tmp";
  DIR* directory = ::opendir(DirectoryOf(file).c_str());
  if (directory == nullptr) {
    return;
  }
  while (const dirent* entry = ::readdir(directory)) {
    const std::string_view name = entry->d_name;
    if (!name.starts_with(prefix)) {
      continue;
    }
    const char* end = name.data() + name.size();
    pid_t pid = 0;
    unsigned attempt = 0;
    const auto [dash, pidError] = std::from_chars(name.data() + prefix.size(), end, pid);
    if (pidError != std::errc() || pid <= 0 || dash == end || *dash != '-') {
      continue;
    }
    const auto [last, attemptError] = std::from_chars(dash + 1, end, attempt);
    if (attemptError != std::errc() || last != end) {
      continue;
    }
    if (::kill(pid, 0) != 0 && errno == ESRCH) {
      ::unlinkat(::dirfd(directory), entry->d_name, 0);
    }
  }
  ::closedir(directory);
}

// Gives the new file the old one's owner, group and mode; false when this
// player may not give it that owner or group.
bool TakeOver(int fd, const struct stat& old) {
  struct stat now {};
  if (::fstat(fd, &now) != 0) {
    return false;
  }
  if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) && ::fchown(fd, old.st_uid, old.st_gid) != 0) {
    return false;
  }
  return ::fchmod(fd, old.st_mode & 07777) == 0;
}

// The old file's own bytes are overwritten. Room for the new bytes is claimed
// first, so that a full disk fails before anything has changed.
bool WriteInPlace(const fs::path& file, std::string_view bytes) {
  const int fd = OpenPlainFile(file, O_WRONLY);
  if (fd < 0) {
    return false;
  }
  const int room = ::posix_fallocate(fd, 0, static_cast<off_t>(bytes.size()));
  bool ok = room != ENOSPC && room != EFBIG && room != EDQUOT && WriteAll(fd, bytes.data(), bytes.size()) &&
            ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  return ok;
}

}  // namespace

fs::path LinkTarget(const fs::path& file) {
  std::error_code error;
  if (fs::is_symlink(file, error)) {
    fs::path target = fs::weakly_canonical(file, error);
    if (!error) {
      return target;
    }
  }
  return file;
}

int OpenPlainFile(const fs::path& file, int flags, struct stat* status) {
  const int fd = ::open(file.c_str(), flags | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    return -1;
  }
  struct stat own {};
  if (status == nullptr) {
    status = &own;
  }
  if (::fstat(fd, status) != 0 || !S_ISREG(status->st_mode)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool CopyAll(int from, int to) {
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(from, buffer, sizeof(buffer));
    if (got == 0) {
      return true;
    }
    if (got < 0 && errno != EINTR) {
      return false;
    }
    if (got > 0 && !WriteAll(to, buffer, static_cast<size_t>(got))) {
      return false;
    }
  }
}

TemporaryFile::TemporaryFile(fs::path file) : file_(std::move(file)) {
  RemoveStaleTemporaries(file_);
  const std::string base = file_.string() + ".tmp" + std::to_string(::getpid()) + "-";
  for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
    name_ = base + std::to_string(attempt);
    // 0666 under the umask, like any file the game creates by plain open.
    fd_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST) {
      break;
    }
  }
  if (fd_ < 0) {
    name_.clear();  // not ours
  }
}

TemporaryFile::~TemporaryFile() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
  if (!name_.empty()) {
    ::unlink(name_.c_str());
  }
}

bool TemporaryFile::Flush() {
  bool ok = fd_ >= 0 && ::fsync(fd_) == 0;
  ok = fd_ >= 0 && ::close(fd_) == 0 && ok;
  fd_ = -1;
  return ok;
}

bool TemporaryFile::PutInPlace() {
  if (name_.empty() || fd_ >= 0 || ::rename(name_.c_str(), file_.c_str()) != 0) {
    return false;
  }
  name_.clear();
  // The new name must reach the disk too, or a power cut could bring the old
  // file back.
  const int directory = ::open(DirectoryOf(file_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directory >= 0) {
    ::fsync(directory);
    ::close(directory);
  }
  return true;
}

WriteOutcome WriteFileAtomically(const fs::path& file, std::string_view bytes,
                                 const std::function<bool()>& unchanged) {
  const fs::path target = LinkTarget(file);
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  // A file the player made read-only stays untouched, as it would if it were
  // opened for writing; a rename would otherwise quietly replace it.
  if (exists && (!S_ISREG(old.st_mode) || !MayWrite(target, W_OK))) {
    return WriteOutcome::kFailed;
  }
  TemporaryFile temporary(target);
  const bool inPlace = temporary.fd() < 0 || (exists && !TakeOver(temporary.fd(), old));
  if (inPlace ? !exists : !(WriteAll(temporary.fd(), bytes.data(), bytes.size()) && temporary.Flush())) {
    return WriteOutcome::kFailed;
  }
  if (unchanged && !unchanged()) {
    return WriteOutcome::kChanged;
  }
  const bool written = inPlace ? WriteInPlace(target, bytes) : temporary.PutInPlace();
  return written ? WriteOutcome::kWritten : WriteOutcome::kFailed;
}

bool CanReplaceFile(const fs::path& file) {
  const fs::path target = LinkTarget(file);
  struct stat status {};
  if (::stat(target.c_str(), &status) == 0) {
    return S_ISREG(status.st_mode) && MayWrite(target, W_OK);
  }
  return errno == ENOENT && MayWrite(DirectoryOf(target), W_OK | X_OK);
}

DirectoryLock::DirectoryLock(const fs::path& file)
    : fd_(::open(DirectoryOf(LinkTarget(file)).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
  for (int attempt = 0; fd_ >= 0 && attempt < kLockTries; ++attempt) {
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0 || (errno != EWOULDBLOCK && errno != EINTR)) {
      return;
    }
    ::usleep(kLockStep);
  }
}

DirectoryLock::~DirectoryLock() {
  if (fd_ >= 0) {
    ::close(fd_);
  }
}

}  // namespace porteka
