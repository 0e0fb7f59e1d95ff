#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace porteka {

// The player's files in the records folder (the records, the record runs, the
// statistics) are read and written here, and only here, so that every one of
// them gets the same care: a symbolic link is followed only where nobody else
// could have planted it, a write never leaves a half-written file, a damaged
// file is set aside by renaming it, and two games writing at once lose
// nothing.

// Where a file's bytes really are: the name itself, or where its links lead.
// A link is followed only when it belongs to this player (or to root), or when
// the folder holding it is writable by nobody but this player, the rule the
// kernel applies to links in sticky folders: a link someone else planted in a
// shared folder (to this player's ~/.bashrc, say) is not followed. Empty for
// such a link and for a loop of links. A link to a missing file leads to that
// missing file, which a write then creates.
std::optional<std::filesystem::path> ResolvePlayerFile(const std::filesystem::path& file);

// Which file was read: a file replaced since then has another identity.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  struct timespec modified {};

  bool operator==(const FileIdentity& other) const;
};

struct FileRead {
  enum class Status {
    kMissing,     // nothing by that name (or where its link leads)
    kRead,        // `bytes` hold the whole file
    kTooLarge,    // larger than the reader takes: damaged, nothing read
    kUnreadable,  // not a plain file, an untrusted link, no permission, an I/O error: leave it alone
  };
  Status status = Status::kMissing;
  std::string bytes;
  int error = 0;  // errno, for kUnreadable
  std::optional<FileIdentity> identity;
};

// Reads a whole plain file of at most `maxBytes` bytes without blocking (a pipe
// by that name cannot hang the game) and without waiting for any lock. A file
// that is larger is not read at all: a huge file costs nothing.
FileRead ReadPlayerFile(const std::filesystem::path& file, size_t maxBytes);

// What a change makes of the file it found.
struct FileChange {
  std::optional<std::string> bytes;  // the new file; empty: leave the file as it is
  bool damaged = false;              // the file found is damaged: set it aside before the new one goes in
};

struct WriteResult {
  enum class Outcome { kWritten, kUnchanged, kFailed };
  Outcome outcome = Outcome::kFailed;
  int error = 0;  // errno, for kFailed
};

// A read-change-write of a player file. `change` sees the file as it is
// (missing, read, or too large, which counts as damaged) and answers the new
// bytes; it may be asked again, with the file another game wrote meanwhile,
// and must then keep what it saw before as well (the records keep the best
// line of each level of every file seen).
//
// The new bytes go into a temporary file beside the real one, reach the disk,
// and take its name at once, so a crash, a kill or a full disk leaves either
// the old file or the new one. The new file keeps the old one's mode, owner
// and group; where it cannot (the old file is someone else's, shared with
// everyone) or where the folder takes no new file, the bytes are written into
// the old file itself. A damaged file is renamed "<file>.bak1" beside it, the
// older backups moving up to ".bak5" (names taken by anything but a plain
// file are passed over); never copied. Temporary files left by games that no
// longer run are removed on the way.
//
// Two games: the change runs under an advisory lock on the folder, waited for
// a second at most (call this off the thread that draws). Without the lock,
// the new file swaps places with the old one in one step and the old one is
// checked to be the one the change saw; when another game's file was swapped
// out instead, the change is made again on that file, so no game's change is
// lost. Where the file system cannot swap, the old file is compared right
// before the rename and, for an `idempotent` change, read back after it and
// changed again should another game's write have undone it.
//
// `wait` false: when another game holds the lock, nothing is written
// (kFailed with EWOULDBLOCK); for a change that can wait for the next one.
WriteResult UpdatePlayerFile(const std::filesystem::path& file, size_t maxBytes,
                             const std::function<FileChange(const FileRead& found)>& change,
                             bool idempotent = false, bool wait = true);

// Replaces a player file with these bytes, whatever it holds.
WriteResult WritePlayerFile(const std::filesystem::path& file, std::string_view bytes, size_t maxBytes);

// Whether a write could succeed, asked without writing: the file is a plain
// file this player may write (reached through links that may be followed),
// or it is missing and its folder takes new files. Where the file is damaged
// it must be set aside, which needs a folder that takes new names.
bool CanWritePlayerFile(const std::filesystem::path& file, bool damaged = false);

// An advisory lock for a read-change-write of a player file, taken on the
// folder the file (its links followed) lives in: the file itself is replaced
// by every save, and a lock on a replaced file guards nothing, while a folder
// can be locked even where it is read-only. `wait`: for a second at most;
// otherwise only when it is free at once. A lock not had is simply not held,
// so a stuck holder cannot stop the game.
class DirectoryLock {
 public:
  explicit DirectoryLock(const std::filesystem::path& file, bool wait = true);
  ~DirectoryLock();
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;

  bool held() const { return held_; }
  // Another game holds it (rather than a file system that has no locks).
  bool busy() const { return busy_; }

 private:
  int fd_ = -1;
  bool held_ = false;
  bool busy_ = false;
};

}  // namespace porteka
