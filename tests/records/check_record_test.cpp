#include "records/check_record.h"

#include <gtest/gtest.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <string>

#include "records/records_file.h"
#include "tests/records/temp_dir.h"

namespace porteka {
namespace {

using testing::CountEntries;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

const std::string kDefaultFile = SerializeRecords(DefaultRecords());

RecordTable Table(int32_t t0, int32_t t1, int32_t t2) {
  return {Record{"one", t0}, Record{"two", t1}, Record{"three", t2}};
}

RecordTable DefaultsWith(int level, const Record& record) {
  RecordTable table = DefaultRecords();
  table[static_cast<size_t>(level)] = record;
  return table;
}

TEST(CheckRecord, FirstWinCreatesTheDefaultFileAndSavingFillsOneLine) {
  TempDir dir;
  EXPECT_TRUE(CheckRecord(dir.File(), 0, 500));
  EXPECT_EQ(ReadBytes(dir.File()), kDefaultFile);
  SaveRecord(dir.File(), 0, "山田", 500);
  EXPECT_EQ(ReadRecords(dir.File()), DefaultsWith(0, Record{"山田", 500}));
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
  for (const auto& c : cases) EXPECT_EQ(CheckRecord(dir.File(), c.level, c.time), c.record) << c.level << " " << c.time;
  EXPECT_EQ(ReadBytes(dir.File()), bytes) << "a good file is only read";
  EXPECT_EQ(CountEntries(dir.path()), 1);
}

TEST(CheckRecord, OtherLevelsNeitherReadNorCreateTheFile) {
  TempDir dir;
  for (const int16_t level : {int16_t{3}, int16_t{4}, int16_t{-1}}) {
    EXPECT_FALSE(CheckRecord(dir.File(), level, 1));
    SaveRecord(dir.File(), level, "x", 1);
  }
  EXPECT_EQ(CountEntries(dir.path()), 0);
}

// A damaged file is kept in the backup and replaced by the default file, and
// the winning time is then measured against 999 seconds.
TEST(CheckRecord, ReplacesADamagedFileAndKeepsItsBytes) {
  const std::string good = "\"a\",1\r\n";
  const std::string damaged[] = {good + good, "", std::string("\x7F" "ELF\x00\x01\xFF\n\n\n", 10),
                                 good + "\"broken,3\r\n" + good, good + good + "\"c\""};
  for (const std::string& bytes : damaged) {
    TempDir dir;
    WriteBytes(dir.File(), bytes);
    EXPECT_TRUE(CheckRecord(dir.File(), 1, 29969));
    EXPECT_EQ(ReadBytes(dir.File()), kDefaultFile);
    EXPECT_EQ(ReadBytes(BackupPathFor(dir.File())), bytes);
    EXPECT_EQ(CountEntries(dir.path()), 2);
  }
  TempDir dir;
  WriteBytes(dir.File(), good + good);
  EXPECT_FALSE(CheckRecord(dir.File(), 0, 29970));
}

TEST(CheckRecord, GivesUpQuietlyWhenNothingCanBeWritten) {
  TempDir dir;
  WriteBytes(dir.path() / "plain", "x");
  WriteBytes(dir.File(), "\"a\",1\r\n");
  // A damaged file whose backup cannot be made stays as it is; directories
  // that do not exist or are files, and a directory by the file's name, take
  // no write, as root too.
  std::filesystem::create_directory(BackupPathFor(dir.File()));
  std::filesystem::create_directory(dir.path() / "taken");
  const std::filesystem::path files[] = {dir.File(), dir.path() / "missing" / "GoodTime.dat",
                                         dir.path() / "plain" / "GoodTime.dat", dir.path() / "taken"};
  for (const auto& file : files) {
    EXPECT_FALSE(CheckRecord(file, 0, 1)) << file;
    SaveRecord(file, 0, "x", 1);
  }
  EXPECT_EQ(ReadBytes(dir.File()), "\"a\",1\r\n");
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "taken"));
  EXPECT_EQ(CountEntries(dir.path()), 4);
}

TEST(SaveRecord, KeepsTheOtherLevelsAndMendsWhatWentMissingOrBad) {
  TempDir dir;
  WriteBytes(dir.File(), SerializeRecords(Table(10, 20, 30)) + "\"extra\",40\r\n");
  SaveRecord(dir.File(), 1, " a, \"b\" ", 15);
  RecordTable expected = Table(10, 20, 30);
  expected[1] = Record{" a, \"b\" ", 15};
  EXPECT_EQ(ReadBytes(dir.File()), SerializeRecords(expected)) << "extra lines dropped";

  std::filesystem::remove(dir.File());
  SaveRecord(dir.File(), 2, "", 123);
  EXPECT_EQ(ReadRecords(dir.File()), DefaultsWith(2, Record{"", 123}));
  WriteBytes(dir.File(), "\"half");
  SaveRecord(dir.File(), 0, "髙①～", 9);
  EXPECT_EQ(ReadRecords(dir.File()), DefaultsWith(0, Record{"髙①～", 9}));
  EXPECT_EQ(ReadBytes(BackupPathFor(dir.File())), "\"half");
}

// Runs `body` in a child process and answers its exit code, so that a
// dropped user or a file size limit ends with it.
int InChild(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(body());
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

constexpr int kCannotArrange = 77;

// Read-only directories, and a read-only file in a directory that would let a
// rename replace it: each is tried once and left exactly as it was. The child
// runs as an ordinary user, so that the modes hold under root too.
TEST(CheckRecord, ReadOnlyPlacesAreLeftAsTheyWere) {
  TempDir dir;
  ::chmod(dir.path().c_str(), 0755);
  const auto damaged = dir.path() / "damaged" / "GoodTime.dat";
  const auto empty = dir.path() / "empty" / "GoodTime.dat";
  const auto good = dir.path() / "good" / "GoodTime.dat";
  const auto locked = dir.path() / "locked" / "GoodTime.dat";
  for (const auto& file : {damaged, empty, good, locked}) std::filesystem::create_directory(file.parent_path());
  WriteBytes(damaged, "\"a\",1\r\n");
  ASSERT_TRUE(WriteRecords(good, Table(10, 20, 30)));
  ASSERT_TRUE(WriteRecords(locked, Table(10, 20, 30)));
  for (const auto& file : {damaged, empty, good}) ::chmod(file.parent_path().c_str(), 0555);
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
    if (CheckRecord(empty, 0, 1) || CheckRecord(damaged, 0, 1)) return 1;
    for (const auto& file : {empty, damaged, good, locked}) SaveRecord(file, 0, "x", 1);
    // A good file is still only read, and the answer still right.
    return CheckRecord(good, 1, 19) && !CheckRecord(good, 1, 20) ? 0 : 2;
  });
  if (result == kCannotArrange) GTEST_SKIP() << "no way to make a directory or file unwritable here";
  ASSERT_EQ(result, 0);
  EXPECT_FALSE(std::filesystem::exists(empty));
  EXPECT_EQ(ReadBytes(damaged), "\"a\",1\r\n");
  EXPECT_EQ(ReadRecords(good), Table(10, 20, 30));
  EXPECT_EQ(ReadRecords(locked), Table(10, 20, 30));
  for (const auto& file : {damaged, empty, good, locked}) {
    EXPECT_EQ(CountEntries(file.parent_path()), file == empty ? 0 : 1) << file;
  }
}

// A disk that fills up in the middle of a write: the file size limit makes
// every write past a few bytes fail, as a full disk would.
TEST(SaveRecord, FullDiskLeavesTheOldFileWhole) {
  TempDir dir;
  ASSERT_TRUE(WriteRecords(dir.File(), Table(10, 20, 30)));
  const int result = InChild([&] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{20, 20};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return kCannotArrange;
    SaveRecord(dir.File(), 0, "a rather long name that will not fit", 1);
    return WriteRecords(dir.File(), DefaultRecords()) ? 1 : 0;
  });
  if (result == kCannotArrange) GTEST_SKIP() << "cannot limit the file size";
  EXPECT_EQ(result, 0);
  EXPECT_EQ(ReadRecords(dir.File()), Table(10, 20, 30));
  EXPECT_EQ(CountEntries(dir.path()), 1);
}

}  // namespace
}  // namespace porteka
