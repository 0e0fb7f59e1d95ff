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

TEST(CheckRecord, FirstWinCreatesTheDefaultFileAndSavingFillsOneLine) {
  TempDir dir;
  EXPECT_TRUE(CheckRecord(dir.File(), 0, 500));
  EXPECT_EQ(ReadBytes(dir.File()), kDefaultFile);
  EXPECT_FALSE(std::filesystem::exists(BackupPathFor(dir.File())));

  SaveRecord(dir.File(), 0, "山田", 500);
  RecordTable expected = DefaultRecords();
  expected[0] = Record{"山田", 500};
  EXPECT_EQ(ReadRecords(dir.File()), expected);
  EXPECT_EQ(CountEntries(dir.path()), 1);
}

TEST(CheckRecord, OnlyAStrictlyShorterTimeIsARecord) {
  TempDir dir;
  ASSERT_TRUE(WriteRecords(dir.File(), Table(100, 1000, 29970)));
  EXPECT_FALSE(CheckRecord(dir.File(), 0, 100));
  EXPECT_TRUE(CheckRecord(dir.File(), 0, 99));
  EXPECT_FALSE(CheckRecord(dir.File(), 1, 1000));
  EXPECT_TRUE(CheckRecord(dir.File(), 1, 999));
  EXPECT_FALSE(CheckRecord(dir.File(), 2, 29970));
  EXPECT_FALSE(CheckRecord(dir.File(), 2, 40000));
  EXPECT_TRUE(CheckRecord(dir.File(), 2, 29969));
  // The check only reads a good file.
  EXPECT_EQ(ReadRecords(dir.File()), Table(100, 1000, 29970));
}

TEST(CheckRecord, OtherLevelsNeitherReadNorCreateTheFile) {
  TempDir dir;
  for (const int16_t level : {int16_t{3}, int16_t{4}, int16_t{-1}}) {
    EXPECT_FALSE(CheckRecord(dir.File(), level, 1));
    SaveRecord(dir.File(), level, "x", 1);
  }
  EXPECT_EQ(CountEntries(dir.path()), 0);
}

// A damaged file is replaced by the default file, the winning time is then
// measured against 999 seconds, and the old bytes are kept in the backup.
TEST(CheckRecord, ReplacesADamagedFileAndKeepsItsBytes) {
  const std::string good = "\"a\",1\r\n";
  const std::string damaged[] = {
      good + good,
      "",
      std::string("\x7F" "ELF\x00\x01\xFF\n\n\n", 10),
      good + good + "\"c\",2",
      good + "\"broken,3\r\n" + good,
  };
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

TEST(CheckRecord, LeavesADamagedFileAloneWhenItCannotBeKept) {
  TempDir dir;
  WriteBytes(dir.File(), "\"a\",1\r\n");
  std::filesystem::create_directory(BackupPathFor(dir.File()));
  EXPECT_FALSE(CheckRecord(dir.File(), 0, 1));
  SaveRecord(dir.File(), 0, "x", 1);
  EXPECT_EQ(ReadBytes(dir.File()), "\"a\",1\r\n");
  EXPECT_EQ(CountEntries(dir.path()), 2);
}

TEST(CheckRecord, GivesUpQuietlyWhenNothingCanBeWritten) {
  TempDir dir;
  WriteBytes(dir.path() / "plain", "x");
  // Directories that do not exist, or are files: no write can succeed, as root too.
  for (const auto& file : {dir.path() / "missing" / "GoodTime.dat", dir.path() / "plain" / "GoodTime.dat"}) {
    EXPECT_FALSE(CheckRecord(file, 0, 1));
    SaveRecord(file, 0, "x", 1);
  }
  std::filesystem::create_directory(dir.File());
  EXPECT_FALSE(CheckRecord(dir.File(), 0, 1));
  SaveRecord(dir.File(), 0, "x", 1);
  EXPECT_TRUE(std::filesystem::is_directory(dir.File()));
  EXPECT_EQ(CountEntries(dir.path()), 2);
}

TEST(SaveRecord, KeepsTheOtherLevelsAndDropsExtraLines) {
  TempDir dir;
  WriteBytes(dir.File(), SerializeRecords(Table(10, 20, 30)) + "\"extra\",40\r\n");
  SaveRecord(dir.File(), 1, " a, \"b\" ", 15);
  RecordTable expected = Table(10, 20, 30);
  expected[1] = Record{" a, \"b\" ", 15};
  EXPECT_EQ(ReadBytes(dir.File()), SerializeRecords(expected));
}

TEST(SaveRecord, LeavesACompleteFileWhenTheOldOneWentMissingOrBad) {
  TempDir dir;
  SaveRecord(dir.File(), 2, "", 123);
  RecordTable expected = DefaultRecords();
  expected[2] = Record{"", 123};
  EXPECT_EQ(ReadRecords(dir.File()), expected);

  WriteBytes(dir.File(), "\"half");
  SaveRecord(dir.File(), 0, "髙①～", 9);
  expected = DefaultRecords();
  expected[0] = Record{"髙①～", 9};
  EXPECT_EQ(ReadRecords(dir.File()), expected);
  EXPECT_EQ(ReadBytes(BackupPathFor(dir.File())), "\"half");
}

TEST(SaveRecord, StoresAVeryLongNameWhole) {
  TempDir dir;
  std::string name;
  for (int i = 0; i < 20000; ++i) name += "長";
  SaveRecord(dir.File(), 0, name, 1);
  const std::optional<RecordTable> records = ReadRecords(dir.File());
  ASSERT_TRUE(records);
  EXPECT_EQ((*records)[0].name, name);
  EXPECT_EQ(ReadBytes(dir.File()).size(), 40000u + 6u + 36u);
}

// Runs `body` in a child process as an ordinary user, so that file modes hold
// even when the tests run as root. Answers the child's exit code; 77 means the
// setting could not be arranged.
int RunAsOrdinaryUser(const std::filesystem::path& directory, const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0) {
      if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) {
        ::_exit(77);
      }
    }
    const auto probe = directory / "probe";
    if (::access(directory.c_str(), W_OK) == 0 || ::mkdir(probe.c_str(), 0700) == 0) {
      ::_exit(77);
    }
    ::_exit(body());
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(CheckRecord, ReadOnlyDirectoryTriesOnceAndChangesNothing) {
  TempDir dir;
  const auto damaged = dir.path() / "damaged" / "GoodTime.dat";
  const auto empty = dir.path() / "empty" / "GoodTime.dat";
  const auto good = dir.path() / "good" / "GoodTime.dat";
  for (const auto& file : {damaged, empty, good}) {
    std::filesystem::create_directory(file.parent_path());
  }
  WriteBytes(damaged, "\"a\",1\r\n");
  ASSERT_TRUE(WriteRecords(good, Table(10, 20, 30)));
  for (const auto& path : {damaged.parent_path(), empty.parent_path(), good.parent_path(), dir.path()}) {
    ::chmod(path.c_str(), 0555);
  }
  ::chmod(dir.path().c_str(), 0755);

  const int result = RunAsOrdinaryUser(empty.parent_path(), [&] {
    if (CheckRecord(empty, 0, 1) || CheckRecord(damaged, 0, 1)) return 1;
    SaveRecord(empty, 0, "x", 1);
    SaveRecord(damaged, 0, "x", 1);
    SaveRecord(good, 0, "x", 1);
    // A good file is still only read, and the answer still right.
    if (!CheckRecord(good, 1, 19) || CheckRecord(good, 1, 20)) return 2;
    return 0;
  });
  if (result == 77) {
    GTEST_SKIP() << "no way to make a directory unwritable here";
  }
  ASSERT_EQ(result, 0);
  EXPECT_FALSE(std::filesystem::exists(empty));
  EXPECT_EQ(ReadBytes(damaged), "\"a\",1\r\n");
  EXPECT_EQ(ReadRecords(good), Table(10, 20, 30));
  for (const auto& file : {damaged, empty, good}) {
    EXPECT_EQ(CountEntries(file.parent_path()), file == empty ? 0 : 1);
  }
}

// A file made read-only is respected even though its directory would let a
// rename replace it.
TEST(SaveRecord, ReadOnlyFileStaysAsItWas) {
  TempDir dir;
  ::chmod(dir.path().c_str(), 0755);
  const auto sub = dir.path() / "sub";
  std::filesystem::create_directory(sub);
  const auto file = sub / "GoodTime.dat";
  ASSERT_TRUE(WriteRecords(file, Table(10, 20, 30)));
  if (::geteuid() == 0 && ::chown(sub.c_str(), 65534, 65534) != 0) {
    GTEST_SKIP() << "cannot hand the directory to an ordinary user";
  }
  ::chmod(file.c_str(), 0444);

  const pid_t child = ::fork();
  if (child == 0) {
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
      ::_exit(77);
    }
    if (::access(file.c_str(), W_OK) == 0) ::_exit(77);
    SaveRecord(file, 0, "x", 1);
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) {
    GTEST_SKIP() << "no way to make a file read-only here";
  }
  EXPECT_EQ(ReadRecords(file), Table(10, 20, 30));
  EXPECT_EQ(CountEntries(sub), 1);
}

// A disk that fills up in the middle of a write: the file size limit makes
// every write past a few bytes fail, as a full disk would.
TEST(SaveRecord, FullDiskLeavesTheOldFileWhole) {
  TempDir dir;
  ASSERT_TRUE(WriteRecords(dir.File(), Table(10, 20, 30)));
  const pid_t child = ::fork();
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{20, 20};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(77);
    SaveRecord(dir.File(), 0, "a rather long name that will not fit", 1);
    ::_exit(WriteRecords(dir.File(), DefaultRecords()) ? 1 : 0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) {
    GTEST_SKIP() << "cannot limit the file size";
  }
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadRecords(dir.File()), Table(10, 20, 30));
  EXPECT_EQ(CountEntries(dir.path()), 1);
}

}  // namespace
}  // namespace porteka
