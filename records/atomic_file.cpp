#include "records/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <string>
#include <system_error>

namespace porteka {
namespace {

namespace fs = std::filesystem;

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

// A link is followed, so the file it points at is replaced and the link kept.
fs::path ResolveTarget(const fs::path& file) {
  std::error_code error;
  if (fs::is_symlink(file, error)) {
    fs::path target = fs::weakly_canonical(file, error);
    if (!error) {
      return target;
    }
  }
  return file;
}

// Once a name is renamed into place the directory entry must reach the disk
// too, or a power cut could bring the old file back.
void SyncDirectory(const fs::path& directory) {
  const int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

bool ReplaceFile(const fs::path& file, const std::function<bool(int fd)>& fill) {
  const fs::path target = ResolveTarget(file);

  // A file the user made read-only stays untouched, as it would if it were
  // opened for writing; the rename below would otherwise quietly replace it.
  if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0) {
    return false;
  }

  const std::string base = target.string() + ".tmp" + std::to_string(::getpid()) + "-";
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = base + std::to_string(attempt);
    // 0666 under the umask, like any file the game creates by plain open.
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) {
      return false;
    }
  }
  if (fd < 0) {
    return false;
  }

  bool ok = fill(fd) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temporary.c_str());
    return false;
  }
  SyncDirectory(target.parent_path());
  return true;
}

}  // namespace

bool WriteFileAtomically(const fs::path& file, std::string_view bytes) {
  return ReplaceFile(file, [bytes](int fd) { return WriteAll(fd, bytes.data(), bytes.size()); });
}

bool CopyFileAtomically(const fs::path& from, const fs::path& to) {
  // Non-blocking open, so a pipe by that name cannot hang the game.
  const int source = ::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (source < 0) {
    return false;
  }
  struct stat status {};
  if (::fstat(source, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(source);
    return false;
  }
  const bool ok = ReplaceFile(to, [source](int fd) {
    char buffer[65536];
    for (;;) {
      const ssize_t got = ::read(source, buffer, sizeof(buffer));
      if (got == 0) {
        return true;
      }
      if (got < 0) {
        if (errno == EINTR) {
          continue;
        }
        return false;
      }
      if (!WriteAll(fd, buffer, static_cast<size_t>(got))) {
        return false;
      }
    }
  });
  ::close(source);
  return ok;
}

}  // namespace porteka
