#include "records/check_record.h"

#include <gtest/gtest.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <new>
#include <utility>
#include <csignal>
#include <functional>
#include <string>
#include <vector>

#include "records/file_worker.h"
#include "records/record_keeper.h"
#include "records/records_file.h"
#include "records/run_files.h"
#include "records/statistics_file.h"
#include "tests/records/temp_dir.h"

namespace porteka {
namespace {

using scratch::CountEntries;
using scratch::ReadBytes;
using scratch::TempDir;
using scratch::WriteBytes;

const std::string kDefaultFile = SerializeRecords(DefaultRecords());

RecordTable Table(int32_t t0, int32_t t1, int32_t t2) {
  return {Record{"one", t0}, Record{"two", t1}, Record{"three", t2}};
}

std::filesystem::path Backup(const TempDir& dir, int number) {
  return dir.path() / ("GoodTime.dat.bak" + std::to_string(number));
}

// What the records code asked to sync, by the name each descriptor had then.
std::vector<std::string> gSynced;

// Memory shared with the child processes: whether flock() fails, as it does
// on some network file systems, and a starting line for games that save at
// the same moment.
struct Shared {
  std::atomic<bool> locksFail{false};
  std::atomic<bool> noSwap{false};
  std::atomic<int> ready{0};
};
Shared& gShared = *new (::mmap(nullptr, sizeof(Shared), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0))
    Shared;

// The table with one level's line replaced.
RecordTable With(RecordTable table, int level, const Record& record) {
  table[static_cast<size_t>(level)] = record;
  return table;
}

// Only the three levels with records read or create the file.
TEST(CheckRecord, FirstWinCreatesTheDefaultFileAndSavingFillsOneLine) {
  TempDir dir;
  for (const int16_t level : {int16_t{3}, int16_t{4}, int16_t{-1}}) {
    EXPECT_FALSE(CheckRecord(dir.File(), Level{level}, 1));
    SaveRecord(dir.File(), Level{level}, "x", 1);
  }
  EXPECT_EQ(CountEntries(dir.path()), 0);
  EXPECT_TRUE(CheckRecord(dir.File(), Level::Beginner, 500));
  EXPECT_EQ(ReadBytes(dir.File()), kDefaultFile);
  SaveRecord(dir.File(), Level::Beginner, "山田", 500);
  EXPECT_EQ(ReadRecords(dir.File()), With(DefaultRecords(), 0, Record{"山田", 500}));
  EXPECT_EQ(CountEntries(dir.path()), 1) << "no backup, no temporary file";
}

// The file's last line ends the file, as other programs may leave it.
TEST(CheckRecord, OnlyAStrictlyShorterTimeIsARecord) {
  TempDir dir;
  std::string bytes = SerializeRecords(Table(100, 1000, 29970));
  bytes.resize(bytes.size() - 2);
  WriteBytes(dir.File(), bytes);
  const struct {
    int16_t level;
    int32_t time;
    bool record;
  } cases[] = {{0, 100, false}, {0, 99, true}, {1, 1000, false}, {1, 999, true},
               {2, 29970, false}, {2, 40000, false}, {2, 29969, true}};
  for (const auto& c : cases) EXPECT_EQ(CheckRecord(dir.File(), Level{c.level}, c.time), c.record) << c.level << " " << c.time;
  EXPECT_EQ(ReadBytes(dir.File()), bytes) << "a good file is only read";
  EXPECT_EQ(CountEntries(dir.path()), 1);
}

// A damaged file is kept in a backup and replaced by the default file, and the
// winning time is then measured against 999 seconds. The newest backup is
// .bak1 and five are kept; a link by a backup's name is replaced, and the file
// it points at is never written.
TEST(CheckRecord, ReplacesADamagedFileAndKeepsItsBytes) {
  const std::string good = "\"a\",1\r\n";
  const std::string damaged[] = {good + good, "", std::string("\x7F" "ELF\x00\x01\xFF\n\n\n", 10),
                                 good + "\"broken,3\r\n" + good, "\"a\"", good + good + "\"c\""};
  TempDir dir, elsewhere;
  WriteBytes(elsewhere.File(), "not ours");
  std::filesystem::create_symlink(elsewhere.File(), Backup(dir, 1));
  std::filesystem::create_symlink(elsewhere.File(), Backup(dir, 3));
  for (const std::string& bytes : damaged) {
    WriteBytes(dir.File(), bytes);
    EXPECT_TRUE(CheckRecord(dir.File(), Level::Intermediate, 29969));
    EXPECT_EQ(ReadBytes(dir.File()), kDefaultFile);
  }
  for (int n = 1; n <= 5; ++n) {
    EXPECT_EQ(ReadBytes(Backup(dir, n)), damaged[std::size(damaged) - static_cast<size_t>(n)]) << n;
    EXPECT_FALSE(std::filesystem::is_symlink(Backup(dir, n))) << n;
  }
  EXPECT_EQ(CountEntries(dir.path()), 6);
  EXPECT_EQ(ReadBytes(elsewhere.File()), "not ours");
  WriteBytes(dir.File(), good + good);
  EXPECT_FALSE(CheckRecord(dir.File(), Level::Beginner, 29970));
}

TEST(CheckRecord, GivesUpQuietlyWhenNothingCanBeWritten) {
  TempDir dir;
  WriteBytes(dir.path() / "plain", "x");
  WriteBytes(dir.File(), "\"a\",1\r\n");
  // A damaged file whose backup names are all taken by folders stays as it
  // is; directories that do not exist or are files, and a directory or a pipe
  // by the file's name, take no write, as root too; the pipe is not waited on.
  for (int n = 1; n <= 5; ++n) std::filesystem::create_directory(Backup(dir, n));
  std::filesystem::create_directory(dir.path() / "taken");
  ASSERT_EQ(::mkfifo((dir.path() / "pipe").c_str(), 0600), 0);
  const std::filesystem::path files[] = {dir.File(), dir.path() / "missing" / "GoodTime.dat",
                                         dir.path() / "plain" / "GoodTime.dat", dir.path() / "taken",
                                         dir.path() / "pipe"};
  for (const auto& file : files) {
    EXPECT_FALSE(CheckRecord(file, Level::Beginner, 1)) << file;
    SaveRecord(file, Level::Beginner, "x", 1);
  }
  EXPECT_EQ(ReadBytes(dir.File()), "\"a\",1\r\n");
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "taken"));
  EXPECT_TRUE(std::filesystem::is_fifo(dir.path() / "pipe"));
  EXPECT_EQ(CountEntries(dir.path()), 9);
}

TEST(SaveRecord, KeepsTheOtherLevelsAndDropsExtraLines) {
  TempDir dir;
  WriteBytes(dir.File(), SerializeRecords(Table(10, 20, 30)) + "\"extra\",40\r\n");
  SaveRecord(dir.File(), Level::Intermediate, " a, \"b\" ", 15);
  EXPECT_EQ(ReadBytes(dir.File()), SerializeRecords(With(Table(10, 20, 30), 1, Record{" a, \"b\" ", 15})));
}

// A save survives a power cut: the new bytes reach the disk before the new
// file takes the records file's name, and the new name reaches it after.
TEST(SaveRecord, SyncsTheNewFileBeforeItsRenameAndTheDirectoryAfter) {
  TempDir dir;
  const std::string directory = std::filesystem::canonical(dir.path()).string();
  gSynced.clear();
  SaveRecord(dir.File(), Level::Beginner, "a", 1);
  const auto temporary = std::find_if(gSynced.begin(), gSynced.end(), [&](const std::string& name) {
    return name.starts_with(directory + "/GoodTime.dat.tmp");
  });
  ASSERT_NE(temporary, gSynced.end());
  EXPECT_NE(std::find(temporary, gSynced.end(), directory), gSynced.end());
}

// Runs `body` in a child process, so that a dropped user or a file size limit
// ends with it; Wait answers its exit code.
pid_t Spawn(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(body());
  return child;
}

int Wait(pid_t child) {
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int InChild(const std::function<int()>& body) { return Wait(Spawn(body)); }

// Games in child processes, let go together from a starting line, each
// running `body` with its number and expected to exit with 0.
void RaceGames(int count, const std::function<int(int)>& body) {
  gShared.ready = 0;
  std::vector<pid_t> games;
  for (int game = 0; game < count; ++game) {
    games.push_back(Spawn([&, game] {
      gShared.ready.fetch_add(1);
      while (gShared.ready.load() < count) {
      }
      return body(game);
    }));
  }
  for (const pid_t game : games) EXPECT_EQ(Wait(game), 0);
}

constexpr int kCannotArrange = 77;

// What an ordinary user meets (the child runs as one, so that the modes hold
// under root too). Read-only directories and a read-only file are left exactly
// as they were, and no record is asked for where it could not be saved. A
// file shared with everyone (0666, root's) is written in place, in a
// read-only directory or through a link, and stays root's with its mode; and
// where the disk has no room for the longer file, it stays whole.
TEST(CheckRecord, AnOrdinaryUserLeavesOtherPeoplesFilesTheirs) {
  TempDir dir;
  ::chmod(dir.path().c_str(), 0755);
  const auto place = [&](const char* name) { return dir.path() / name / "GoodTime.dat"; };
  const auto damaged = place("damaged"), empty = place("empty"), good = place("good"), locked = place("locked"),
             shared = place("shared"), synced = place("synced"), linked = place("linked"), full = place("full");
  for (const auto& file : {damaged, empty, good, locked, shared, synced, linked, full}) {
    std::filesystem::create_directory(file.parent_path());
  }
  WriteBytes(damaged, "\"a\",1\r\n");
  for (const auto& file : {good, locked, shared, synced, full}) ASSERT_TRUE(WriteRecords(file, Table(10, 20, 30)));
  std::filesystem::create_symlink(synced, linked);
  for (const auto& file : {shared, synced, full}) ::chmod(file.c_str(), 0666);
  for (const auto& file : {damaged, empty, good, shared, full}) ::chmod(file.parent_path().c_str(), 0555);
  ::chmod(synced.parent_path().c_str(), 0777);
  ::chmod(locked.c_str(), 0444);
  if (::geteuid() == 0 && ::chown(locked.parent_path().c_str(), 65534, 65534) != 0) {
    GTEST_SKIP() << "cannot hand a directory to an ordinary user";
  }

  const int result = InChild([&] {
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
      return kCannotArrange;
    }
    const auto probe = empty.parent_path() / "probe";
    if (::access(locked.c_str(), W_OK) == 0 || ::mkdir(probe.c_str(), 0700) == 0) return kCannotArrange;
    for (const auto& file : {empty, damaged, good, locked}) {
      if (CheckRecord(file, Level::Intermediate, 19)) return 1;
      SaveRecord(file, Level::Beginner, "x", 1);
    }
    for (const auto& file : {shared, linked}) {
      if (!CheckRecord(file, Level::Beginner, 5)) return 2;
      SaveRecord(file, Level::Beginner, "x", 5);
    }
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit room{static_cast<rlim_t>(std::filesystem::file_size(full)), RLIM_INFINITY};
    if (::setrlimit(RLIMIT_FSIZE, &room) != 0) return kCannotArrange;
    return SaveRecord(full, Level::Beginner, "a name longer than the room left", 5).error == EFBIG ? 0 : 3;
  });
  if (result == kCannotArrange) GTEST_SKIP() << "no way to make a directory or file unwritable here";
  ASSERT_EQ(result, 0);
  EXPECT_FALSE(std::filesystem::exists(empty));
  EXPECT_EQ(ReadBytes(damaged), "\"a\",1\r\n");
  EXPECT_EQ(ReadRecords(good), Table(10, 20, 30));
  EXPECT_EQ(ReadRecords(locked), Table(10, 20, 30));
  EXPECT_EQ(ReadBytes(full), SerializeRecords(Table(10, 20, 30)));
  for (const auto& file : {shared, synced}) {
    EXPECT_EQ(ReadBytes(file), SerializeRecords(With(Table(10, 20, 30), 0, Record{"x", 5}))) << file;
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, ::geteuid()) << file;
    EXPECT_EQ(status.st_mode & 07777, 0666u) << file;
  }
  EXPECT_TRUE(std::filesystem::is_symlink(linked));
  for (const auto& file : {damaged, empty, good, locked, shared, synced, linked, full}) {
    EXPECT_EQ(CountEntries(file.parent_path()), file == empty ? 0 : 1) << file;
  }
}

// Temporary files of games killed in the middle of a save go at the next
// save, backups' included; those of games still running, and other names,
// stay.
TEST(SaveRecord, RemovesTemporaryFilesOfGamesThatNoLongerRun) {
  TempDir dir;
  const std::string gone = std::to_string(Spawn([] { return 0; }));
  Wait(std::stoi(gone));
  const std::string stale[] = {"GoodTime.dat.tmp" + gone + "-0", "GoodTime.dat.tmp" + gone + "-17",
                               "GoodTime.dat.bak1.tmp" + gone + "-3"};
  const std::string kept[] = {"GoodTime.dat.tmp" + std::to_string(::getpid()) + "-0", "GoodTime.dat.tmp1-0",
                              "GoodTime.dat.tmp" + gone, "GoodTime.dat.tmp" + gone + "-0x", "x.dat.tmp" + gone + "-0"};
  for (const std::string& name : stale) WriteBytes(dir.path() / name, "half a save");
  for (const std::string& name : kept) WriteBytes(dir.path() / name, "half a save");
  SaveRecord(dir.File(), Level::Beginner, "a", 1);
  for (const std::string& name : stale) EXPECT_FALSE(std::filesystem::exists(dir.path() / name)) << name;
  for (const std::string& name : kept) EXPECT_TRUE(std::filesystem::exists(dir.path() / name)) << name;
  EXPECT_EQ(ReadRecords(dir.File()), With(DefaultRecords(), 0, Record{"a", 1}));
}

// Games in one directory, each saving better and better times on a level of
// its own, over and over; then pairs of games finishing at the same moment,
// one game's save on each level. With the folder's lock, with a lock that
// always fails (some network file systems), and with neither a lock nor a
// file system that swaps files. A save that read the file before another's
// save and wrote after it would bring that other's line back to an older
// time. A save that gives up (other games kept writing) is tried again, as
// the keeper tries it.
TEST(SaveRecord, GamesSavingAtOnceLoseNoRecord) {
  const struct {
    bool locksFail, noSwap;
    int32_t saves, pairs;
  } modes[] = {{false, false, 100, 50}, {true, false, 300, 300}, {true, true, 0, 10}};
  for (const auto& mode : modes) {
    gShared.locksFail = mode.locksFail;
    gShared.noSwap = mode.noSwap;
    const auto save = [](const TempDir& dir, int16_t level, const char* name, int32_t time) {
      for (int attempt = 0; attempt < 100; ++attempt) {
        if (SaveRecord(dir.File(), Level{level}, name, time).outcome != WriteResult::Outcome::kFailed) return 0;
      }
      return 1;
    };
    TempDir dir;
    ASSERT_TRUE(WriteRecords(dir.File(), DefaultRecords()));
    RaceGames(3, [&](int level) {
      int failed = 0;
      for (int32_t time = mode.saves; time >= 1; --time) failed += save(dir, static_cast<int16_t>(level), "game", time);
      return failed;
    });
    if (mode.saves > 0) {
      const Record last{"game", 1};
      EXPECT_EQ(ReadRecords(dir.File()), (RecordTable{last, last, last})) << mode.locksFail << mode.noSwap;
    }

    int lost = 0;
    for (int32_t pair = 0; pair < mode.pairs; ++pair) {
      ASSERT_TRUE(WriteRecords(dir.File(), DefaultRecords()));
      RaceGames(2, [&](int game) { return save(dir, static_cast<int16_t>((pair + game) % 3), "pair", 1000 - pair); });
      const std::optional<RecordTable> records = ReadRecords(dir.File());
      lost += !records || (*records)[static_cast<size_t>(pair % 3)].time != 1000 - pair ||
              (*records)[static_cast<size_t>((pair + 1) % 3)].time != 1000 - pair;
    }
    EXPECT_EQ(lost, 0) << mode.locksFail << mode.noSwap;
    EXPECT_EQ(CountEntries(dir.path()), 1);
  }
  gShared.locksFail = false;
  gShared.noSwap = false;
}

// Another game's save that lands between this game's read and its write is
// swapped out by it and must go back in, merged: whether it holds only its
// own record or this game's as well.
std::function<void()> gJustBeforeSwap;

TEST(SaveRecord, AnotherGamesSaveSwappedOutIsPutBack) {
  const RecordTable theirs = With(DefaultRecords(), 2, Record{"theirs", 7});
  const RecordTable both = With(theirs, 0, Record{"ours", 5});
  for (const RecordTable& landing : {theirs, both}) {
    TempDir dir, elsewhere;
    gShared.locksFail = true;
    gJustBeforeSwap = [&] {
      WriteBytes(elsewhere.File(), SerializeRecords(landing));
      std::filesystem::rename(elsewhere.File(), dir.File());
    };
    EXPECT_TRUE(CheckRecord(dir.File(), Level::Beginner, 5));
    EXPECT_EQ(SaveRecord(dir.File(), Level::Beginner, "ours", 5).outcome, WriteResult::Outcome::kWritten);
    gShared.locksFail = false;
    EXPECT_EQ(gJustBeforeSwap, nullptr);
    EXPECT_EQ(ReadRecords(dir.File()), both);
    EXPECT_EQ(CountEntries(dir.path()), 1);
  }
}

// Statistics add counts to whatever file they find: two games counting at
// the same moment lose none, under the lock or swapping files without it;
// under the lock, not even games writing one after another as fast as they can.
TEST(AddToStatistics, GamesCountingAtOnceLoseNoGame) {
  for (const bool locksFail : {false, true}) {
    gShared.locksFail = locksFail;
    TempDir dir;
    const std::filesystem::path file = dir.path() / kStatisticsFileName;
    const int rounds = locksFail ? 60 : 2;
    const int games = locksFail ? 1 : 60;
    for (int round = 0; round < rounds; ++round) {
      RaceGames(2, [&](int game) {
        const GameResult won{Level{static_cast<int16_t>(game)}, GameOutcome::Won, 30, 3};
        int failed = 0;
        for (int i = 0; i < games; ++i) failed += AddToStatistics(file, {won}).outcome == WriteResult::Outcome::kFailed;
        return failed;
      });
    }
    const Statistics statistics = ReadStatistics(file);
    EXPECT_EQ(statistics.levels[0].won + statistics.levels[1].won, 2 * rounds * games) << locksFail;
    EXPECT_EQ(CountEntries(dir.path()), 1);
  }
  gShared.locksFail = false;
}

// While another game holds the folder's lock, the check after a win still
// answers at once: it reads without the lock, and a damaged file is left for
// the save to mend.
TEST(CheckRecord, AnswersWithoutWaitingForAnotherGamesLock) {
  TempDir dir;
  WriteBytes(dir.File(), "\"a\",1\r\n");
  const int folder = ::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(::flock(folder, LOCK_EX), 0);
  const int answer = InChild([&] { return CheckRecord(dir.File(), Level::Beginner, 5) ? 1 : 0; });
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(ReadBytes(dir.File()), "\"a\",1\r\n") << "mended without the lock";
  ::close(folder);
  EXPECT_TRUE(CheckRecord(dir.File(), Level::Beginner, 5));
  EXPECT_EQ(ReadBytes(dir.File()), kDefaultFile);
}

// A link is followed only where nobody else could have planted it: it is this
// player's (or root's), or its folder is writable by this player alone. A link
// by someone else in a shared folder, sticky or not, is never read, copied or
// written through. A link to a missing file is the player's too: the file is
// made where the folder exists and takes it; otherwise the link is left as
// it is and nothing is asked for.
TEST(CheckRecord, FollowsOnlyLinksNobodyElseCouldHavePlanted) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can hand a link to another user";
  TempDir home, dir;
  const auto bashrc = home.path() / ".bashrc";
  const auto place = [&](const char* name, mode_t mode) {
    const auto folder = dir.path() / name;
    std::filesystem::create_directory(folder);
    ::chmod(folder.c_str(), mode);
    return folder / "GoodTime.dat";
  };
  const struct {
    std::filesystem::path link;
    uid_t owner;
    bool followed;
  } links[] = {{place("shared", 0777), 65534, false}, {place("sticky", 01777), 65534, false},
               {place("mine", 0755), 65534, true},    {place("own", 0777), 0, true}};
  for (const auto& link : links) {
    WriteBytes(bashrc, "export PS1=x\n\"a\",1\r\n");
    std::filesystem::create_symlink(bashrc, link.link);
    ASSERT_EQ(::lchown(link.link.c_str(), link.owner, link.owner), 0);
    EXPECT_EQ(CheckRecord(link.link, Level::Beginner, 5), link.followed) << link.link;
    EXPECT_EQ(SaveRecord(link.link, Level::Beginner, "x", 5).outcome,
              link.followed ? WriteResult::Outcome::kWritten : WriteResult::Outcome::kFailed);
    EXPECT_TRUE(std::filesystem::is_symlink(link.link));
    EXPECT_EQ(CountEntries(link.link.parent_path()), 1) << link.link;
    if (link.followed) {
      EXPECT_EQ(ReadRecords(bashrc), With(DefaultRecords(), 0, Record{"x", 5}));
      EXPECT_TRUE(std::filesystem::exists(home.path() / ".bashrc.bak1")) << "set aside beside the real file";
    } else {
      EXPECT_EQ(ReadBytes(bashrc), "export PS1=x\n\"a\",1\r\n") << link.link;
      EXPECT_EQ(CountEntries(home.path()), 1) << link.link;
    }
    std::filesystem::remove(home.path() / ".bashrc.bak1");
  }

  const auto dangling = dir.path() / "dangling.dat", nowhere = dir.path() / "nowhere.dat";
  std::filesystem::create_symlink(home.path() / "made.dat", dangling);
  std::filesystem::create_symlink(home.path() / "missing" / "made.dat", nowhere);
  EXPECT_TRUE(CheckRecord(dangling, Level::Advanced, 7));
  SaveRecord(dangling, Level::Advanced, "y", 7);
  EXPECT_TRUE(std::filesystem::is_symlink(dangling));
  EXPECT_EQ(ReadRecords(home.path() / "made.dat"), With(DefaultRecords(), 2, Record{"y", 7}));
  EXPECT_FALSE(CheckRecord(nowhere, Level::Advanced, 7));
  EXPECT_EQ(SaveRecord(nowhere, Level::Advanced, "y", 7).outcome, WriteResult::Outcome::kFailed);
  EXPECT_TRUE(std::filesystem::is_symlink(nowhere));
}

// A records file is a few hundred bytes: anything over 64 KiB is damaged, and
// set aside by a rename, at once and without a byte copied, however large.
// Names the game's temporary files take, backups' included, go at the next
// Backup names taken by a folder are passed over, and every old backup is
// kept.
TEST(CheckRecord, SetsAsideAHugeFileByItsNameAndLosesNoOldBackup) {
  TempDir dir;
  WriteBytes(Backup(dir, 1), "older");
  std::filesystem::create_directory(Backup(dir, 2));
  WriteBytes(Backup(dir, 3), "oldest");
  WriteBytes(dir.File(), SerializeRecords(Table(1, 2, 3)));
  ASSERT_EQ(::truncate(dir.File().c_str(), off_t{2} << 30), 0);
  struct stat huge {};
  ::stat(dir.File().c_str(), &huge);

  EXPECT_TRUE(CheckRecord(dir.File(), Level::Beginner, 29969));
  EXPECT_EQ(ReadBytes(dir.File()), kDefaultFile);
  struct stat backup {};
  ASSERT_EQ(::stat(Backup(dir, 1).c_str(), &backup), 0);
  EXPECT_EQ(backup.st_ino, huge.st_ino) << "renamed, not copied";
  EXPECT_TRUE(std::filesystem::is_directory(Backup(dir, 2)));
  EXPECT_EQ(ReadBytes(Backup(dir, 3)), "older");
  EXPECT_EQ(ReadBytes(Backup(dir, 4)), "oldest");
  EXPECT_EQ(CountEntries(dir.path()), 5);
}

// A disk that fills up in the middle of a write: the file size limit makes
// every write past a few bytes fail, as a full disk would. The old file stays
// whole; the keeper says so once, keeps the records, and saves them when the
// disk has room again, at the next save or at the end.
TEST(SaveRecord, FullDiskLeavesTheOldFileWholeAndTheRecordWaits) {
  TempDir dir;
  ASSERT_TRUE(WriteRecords(dir.File(), Table(10, 20, 30)));
  const int result = InChild([&] {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{20, RLIM_INFINITY};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return kCannotArrange;
    if (SaveRecord(dir.File(), Level::Beginner, "a rather long name that will not fit", 1).error != EFBIG) return 1;
    if (WriteRecords(dir.File(), DefaultRecords())) return 2;
    FileWorker worker;
    std::vector<int> errors;
    RecordKeeper keeper(dir.File(), worker, [&](const RecordKeeper::Failure& failure) {
      errors.push_back(failure.error);
    });
    for (const int16_t level : {int16_t{0}, int16_t{2}}) keeper.Save(keeper.Hold(Level{level}, 5 + level, "held"));
    worker.Finish();
    if (errors != std::vector<int>{EFBIG}) return 3;
    limit.rlim_cur = RLIM_INFINITY;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    keeper.Save(keeper.Hold(Level::Intermediate, 6, "room again"));
    return keeper.Finish() == 0 ? 0 : 4;
  });
  if (result == kCannotArrange) GTEST_SKIP() << "cannot limit the file size";
  EXPECT_EQ(result, 0);
  EXPECT_EQ(ReadRecords(dir.File()), (RecordTable{Record{"held", 5}, Record{"room again", 6}, Record{"held", 7}}));
  EXPECT_EQ(CountEntries(dir.path()), 1);
}

// A record carries the run that made it, saved beside the records file once
// the record has gone in, replacing the level's run before; a record beaten
// or equalled meanwhile writes neither line nor run, and a run that cannot be
// written costs the record nothing.
TEST(RecordKeeper, SavesARecordsRunBesideTheFileOnceTheRecordIsIn) {
  TempDir dir;
  FileWorker worker;
  RecordKeeper keeper(dir.File(), worker);
  const auto run = [&](Level level) { return ReadBytes(RunFileOf(dir.File(), level)); };
  EXPECT_EQ(RunFileOf(dir.File(), Level::Advanced), dir.path() / "GoodTime.advanced.json");
  keeper.Save(keeper.Hold(Level::Beginner, 500, "first", "run 500"));
  EXPECT_EQ(keeper.Finish(), 0);
  EXPECT_EQ(run(Level::Beginner), "run 500");
  keeper.Save(keeper.Hold(Level::Beginner, 400, "better", "run 400"));
  keeper.Save(keeper.Hold(Level::Beginner, 450, "beaten meanwhile", "run 450"));
  keeper.Save(keeper.Hold(Level::Beginner, 400, "equalled meanwhile", "run 400 again"));
  keeper.Save(keeper.Hold(Level::Advanced, 900, "without a run"));
  std::filesystem::create_directory(RunFileOf(dir.File(), Level::Intermediate));
  keeper.Save(keeper.Hold(Level::Intermediate, 700, "its run blocked", "run 700"));
  EXPECT_EQ(keeper.Finish(), 0);
  EXPECT_EQ(ReadRecords(dir.File()),
            (RecordTable{Record{"better", 400}, Record{"its run blocked", 700}, Record{"without a run", 900}}));
  EXPECT_EQ(run(Level::Beginner), "run 400");
  EXPECT_FALSE(std::filesystem::exists(RunFileOf(dir.File(), Level::Advanced)));
  EXPECT_EQ(SaveRecordRun(dir.File(), Level::Beginner, 450, "run 450").outcome, WriteResult::Outcome::kUnchanged);
  EXPECT_EQ(run(Level::Beginner), "run 400");
  EXPECT_EQ(CountEntries(dir.path()), 3);
}

}  // namespace
}  // namespace porteka
// Stands in for the C library's fsync in this test program, noting the name.
extern "C" int fsync(int fd) {
  char name[4096];
  const ssize_t length = ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), name, sizeof name);
  if (length > 0) porteka::gSynced.emplace_back(name, static_cast<size_t>(length));
  return porteka::scratch::NextSymbol<int(int)>("fsync")(fd);
}

// Stands in for flock: fails as a file system without locks fails it, when asked.
extern "C" int flock(int fd, int operation) {
  if (porteka::gShared.locksFail) {
    errno = ENOLCK;
    return -1;
  }
  return porteka::scratch::NextSymbol<int(int, int)>("flock")(fd, operation);
}

extern "C" int renameat2(int fromDirectory, const char* from, int toDirectory, const char* to, unsigned flags) {
  if (porteka::gJustBeforeSwap && flags == RENAME_EXCHANGE) {
    // Once: the other game's save lands, then this one goes on.
    const std::function<void()> landing = std::exchange(porteka::gJustBeforeSwap, nullptr);
    landing();
  }
  if (porteka::gShared.noSwap && flags != 0) {
    errno = EINVAL;
    return -1;
  }
  return porteka::scratch::NextSymbol<int(int, const char*, int, const char*, unsigned)>("renameat2")(
      fromDirectory, from, toDirectory, to, flags);
}
