#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace porteka {

// The file a name stands for: a symbolic link is followed to its target, so
// that a write replaces the target and keeps the link (players keep the
// records in a synced folder that way).
std::filesystem::path LinkTarget(const std::filesystem::path& file);

// Opens a plain file without blocking (a pipe by that name cannot hang the
// game); -1 for anything else. `status` receives what fstat says of it.
int OpenPlainFile(const std::filesystem::path& file, int flags, struct stat* status = nullptr);

// Copies the rest of one file to another; false on a read or write error.
bool CopyAll(int from, int to);

// A new file written beside `file` as "<file>.tmp<pid>-<n>" and renamed over
// it once complete, so a crash, a kill or a full disk leaves either the old
// file or the new one, never a half-written one. Making it first removes such
// files of processes that no longer run: a game killed in the middle of a
// save leaves one behind. Removed again unless it was put in place.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::filesystem::path file);
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  // -1 when the directory takes no new file.
  int fd() const { return fd_; }
  // Flushes it to the disk and closes it.
  bool Flush();
  // Renames it over the file, whatever has that name (a link is replaced, not
  // followed), and makes the new name last.
  bool PutInPlace();

 private:
  std::filesystem::path file_;
  std::string name_;
  int fd_ = -1;
};

enum class WriteOutcome { kWritten, kChanged, kFailed };

// Replaces a file (a link followed to its target) with new bytes through a
// temporary file. The new file keeps the old one's mode, owner and group;
// where it cannot (the old file is someone else's: a rename would hand it to
// this player) or where the directory takes no new file, the bytes are
// written into the old file itself. A file this player may not write is left
// alone (kFailed); nothing is reported. `unchanged`, when given, is asked
// right before the new bytes go in: when it answers false (another game saved
// since the caller read the file) nothing is written and the outcome is
// kChanged.
WriteOutcome WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                                 const std::function<bool()>& unchanged = nullptr);

// Whether WriteFileAtomically can succeed: the file is a plain file this
// player may write, or it is missing and its directory takes new files.
bool CanReplaceFile(const std::filesystem::path& file);

// An advisory lock for a read-change-write of a file, so that two games
// saving at once do not undo each other's records. It is taken on the
// directory the file (its link followed) lives in: the file itself is
// replaced by every save, and a lock on a replaced file guards nothing, while
// a directory can be locked even where it is read-only. The wait is short (a
// second at most); a lock not taken by then is simply not held, so a stuck
// holder cannot stop the game.
class DirectoryLock {
 public:
  explicit DirectoryLock(const std::filesystem::path& file);
  ~DirectoryLock();
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;

 private:
  int fd_;
};

}  // namespace porteka
