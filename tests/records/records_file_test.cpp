#include "records/records_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "tests/records/temp_dir.h"

namespace porteka {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

// "登録なし" in code page 932.
const std::string kDefaultName = "\x93\x6F\x98\x5E\x82\xC8\x82\xB5";
const std::string kDefaultLine = "\"" + kDefaultName + "\",29970\r\n";

TEST(RecordsFileFormat, DefaultFileIsThreeEighteenByteLines) {
  ASSERT_EQ(kDefaultLine.size(), 18u);
  const std::string bytes = SerializeRecords(DefaultRecords());
  EXPECT_EQ(bytes, kDefaultLine + kDefaultLine + kDefaultLine);
  EXPECT_EQ(bytes.size(), 54u);
}

// Bytes as the game on Windows leaves them: its write statement quotes the
// name, puts a comma and the number, and ends the line with CR LF.
TEST(RecordsFileFormat, ReadsAndRewritesAWindowsFileByteForByte) {
  const std::string windows =
      "\"\x96\xBC\x96\xB3\x8E\x6D\x94\x54\x8C\xA0\x95\xBA\x89\x71\",370\r\n"  // 名無士乃権兵衛
      "\"\x83\x5C\x95\x5C\x81\x60\x87\x40\",4521\r\n"                          // ソ表～①
      "\"\",29970\r\n";
  const std::optional<RecordTable> records = ParseRecords(windows);
  ASSERT_TRUE(records);
  EXPECT_EQ((*records)[0], (Record{"名無士乃権兵衛", 370}));
  EXPECT_EQ((*records)[1], (Record{"ソ表～①", 4521}));
  EXPECT_EQ((*records)[2], (Record{"", 29970}));
  EXPECT_EQ(SerializeRecords(*records), windows);
}

TEST(RecordsFileFormat, NamesComeBackExactly) {
  const std::string names[] = {
      "名無士乃権兵衛", "～", "①", "髙橋", "ソ表", "ｶﾀｶﾅ", "", " ", "  lead and trail  ",
      "a,b,,c", ",", "\"", "\"\"", "say \"hi\"", "x\",12", "\",5", "tab\there", "<b>bold</b>",
      "back\\slash", "登録なし", std::string(70000, 'W'), std::string("nul\0inside", 10)};
  for (const std::string& name : names) {
    const RecordTable table = {Record{name, 500}, Record{"mid", 1}, Record{name, 2}};
    const std::optional<RecordTable> back = ParseRecords(SerializeRecords(table));
    ASSERT_TRUE(back) << name;
    EXPECT_EQ(*back, table) << name;
  }
}

TEST(RecordsFileFormat, TimesComeBackExactly) {
  for (const int32_t time : {0, 1, 29969, 29970, std::numeric_limits<int32_t>::max(), -1,
                             std::numeric_limits<int32_t>::min()}) {
    const RecordTable table = {Record{"a", time}, Record{"b", time}, Record{"c", time}};
    EXPECT_EQ(ParseRecords(SerializeRecords(table)), table) << time;
  }
  EXPECT_EQ(SerializeRecords({Record{"a", 7}, Record{"b", -3}, Record{"c", 0}}),
            "\"a\",7\r\n\"b\",-3\r\n\"c\",0\r\n");
}

TEST(RecordsFileFormat, KeepsEveryNameOnItsLine) {
  const RecordTable table = {Record{"two\r\nlines", 1}, Record{"a\nb\rc", 2},
                             Record{"para\xE2\x80\xA8graph\xC2\x85", 3}};
  const std::string bytes = SerializeRecords(table);
  EXPECT_EQ(bytes, "\"twolines\",1\r\n\"abc\",2\r\n\"paragraph\",3\r\n");
}

TEST(RecordsFileFormat, WritesQuestionMarksForWhatTheCodePageLacks) {
  const RecordTable table = {Record{"😀 smile", 1}, Record{"caf\xC3\xA9", 2}, Record{"\xFF", 3}};
  const std::optional<RecordTable> back = ParseRecords(SerializeRecords(table));
  ASSERT_TRUE(back);
  EXPECT_EQ((*back)[0].name, "? smile");
  EXPECT_EQ((*back)[1].name, "caf?");
  EXPECT_EQ((*back)[2].name, "?");
}

TEST(RecordsFileFormat, IgnoresWhatFollowsTheThirdLine) {
  const std::string bytes = kDefaultLine + kDefaultLine + "\"c\",5\r\n\"d\",6\r\nrubbish\x00\xFF";
  const std::optional<RecordTable> records = ParseRecords(bytes);
  ASSERT_TRUE(records);
  EXPECT_EQ((*records)[2], (Record{"c", 5}));
}

TEST(RecordsFileFormat, AcceptsUnixLineEndsAndBlanksAroundTheTime) {
  const std::optional<RecordTable> records = ParseRecords("\"a\",1\n  \"b\" , 2 \r\n\"c\",\t3\n");
  ASSERT_TRUE(records);
  EXPECT_EQ(*records, (RecordTable{Record{"a", 1}, Record{"b", 2}, Record{"c", 3}}));
}

TEST(RecordsFileFormat, RejectsDamagedContents) {
  const std::string good = "\"a\",1\r\n";
  const std::string cases[] = {
      "",                                         // empty
      good + good,                                // two lines
      good + good + "\"c\",29",                   // cut short inside the last time
      good + good + "\"c\"",                      // cut short before the time
      good + "\r\n" + good + good,                // blank line
      good + good + "c,1\r\n",                    // unquoted name
      good + good + "\"c,1\r\n",                  // unclosed quote
      good + good + "\"c\"1\r\n",                 // no comma
      good + good + "\"c\",\r\n",                 // no time
      good + good + "\"c\",1.5\r\n",              // not a whole number
      good + good + "\"c\",+1\r\n",               // explicit plus
      good + good + "\"c\",12x\r\n",              // trailing junk
      good + good + "\"c\",2147483648\r\n",       // past 32 bits
      good + good + "\"c\",1,2\r\n",                // more fields on the line
      std::string("\x00\x01\x02\xFF\xFE\n\n\n", 8),  // binary
  };
  for (const std::string& bytes : cases) {
    EXPECT_FALSE(ParseRecords(bytes)) << bytes;
  }
}

TEST(RecordsFile, WriteThenReadAndNothingLeftBeside) {
  TempDir dir;
  const RecordTable table = {Record{"髙橋", 400}, Record{"a,\"b\"", 5000}, Record{"", 29970}};
  ASSERT_TRUE(WriteRecords(dir.File(), table));
  EXPECT_EQ(ReadRecords(dir.File()), table);
  EXPECT_EQ(ReadBytes(dir.File()), SerializeRecords(table));
  EXPECT_EQ(testing::CountEntries(dir.path()), 1);

  // Replacing shorter with longer and back leaves exactly the new bytes.
  ASSERT_TRUE(WriteRecords(dir.File(), DefaultRecords()));
  EXPECT_EQ(ReadBytes(dir.File()).size(), 54u);
  EXPECT_EQ(testing::CountEntries(dir.path()), 1);
}

TEST(RecordsFile, ReadFailsOnMissingOrUnusualFiles) {
  TempDir dir;
  EXPECT_FALSE(ReadRecords(dir.File()));
  std::filesystem::create_directory(dir.File());
  EXPECT_FALSE(ReadRecords(dir.File()));
  std::filesystem::remove(dir.File());
  // A pipe by that name must not hang the game.
  ASSERT_EQ(::mkfifo(dir.File().c_str(), 0600), 0);
  EXPECT_FALSE(ReadRecords(dir.File()));
}

TEST(RecordsFile, WriteFailsCleanlyWhenTheNameIsTaken) {
  TempDir dir;
  std::filesystem::create_directory(dir.File());
  EXPECT_FALSE(WriteRecords(dir.File(), DefaultRecords()));
  EXPECT_TRUE(std::filesystem::is_directory(dir.File()));
  EXPECT_EQ(testing::CountEntries(dir.path()), 1);
}

TEST(RecordsFile, WritingThroughALinkKeepsTheLink) {
  TempDir dir;
  const auto real = dir.path() / "real.dat";
  WriteBytes(real, "old");
  std::filesystem::create_symlink(real, dir.File());
  ASSERT_TRUE(WriteRecords(dir.File(), DefaultRecords()));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File()));
  EXPECT_EQ(ReadBytes(real).size(), 54u);
}

// Random mutations of valid files and plain random bytes: the reader must
// answer every one of them, and whatever it accepts must write back and read
// back as the same table.
TEST(RecordsFileFuzz, ReaderSurvivesRandomInput) {
  std::mt19937 generator(20240611);
  const std::string seeds[] = {
      SerializeRecords(DefaultRecords()),
      SerializeRecords({Record{"a,\"b\"", 1}, Record{"髙①～", 2}, Record{"", 3}}),
      "\"a\",1\n\"b\",2\n\"c\",3\n",
  };
  const std::string alphabet = "\",\r\n 0123456789-+.\x81\x60\x87\x40\xFF\x00";
  int accepted = 0;
  for (int iteration = 0; iteration < 20000; ++iteration) {
    std::string bytes = seeds[static_cast<size_t>(iteration) % std::size(seeds)];
    const int edits = 1 + static_cast<int>(generator() % 6);
    for (int e = 0; e < edits; ++e) {
      const size_t at = bytes.empty() ? 0 : generator() % (bytes.size() + 1);
      const char c = (generator() % 2 == 0) ? alphabet[generator() % alphabet.size()]
                                            : static_cast<char>(generator() & 0xFF);
      switch (generator() % 4) {
        case 0: bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), c); break;
        case 1: if (at < bytes.size()) bytes.erase(at, 1); break;
        case 2: if (at < bytes.size()) bytes[at] = c; break;
        default: bytes.resize(at); break;
      }
    }
    if (iteration % 10 == 9) {
      bytes.resize(generator() % 200);
      for (char& c : bytes) c = static_cast<char>(generator() & 0xFF);
    }
    const std::optional<RecordTable> records = ParseRecords(bytes);
    if (records) {
      ++accepted;
      const std::string rewritten = SerializeRecords(*records);
      const std::optional<RecordTable> again = ParseRecords(rewritten);
      ASSERT_TRUE(again) << iteration;
      // A name may lose a line break or an undecodable byte on the first
      // rewrite; after that it is stable.
      EXPECT_EQ(SerializeRecords(*again), rewritten) << iteration;
    }
  }
  EXPECT_GT(accepted, 0);
}

}  // namespace
}  // namespace porteka
