#include "records/records_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "tests/records/temp_dir.h"

namespace porteka {
namespace {

using scratch::CountEntries;
using scratch::ReadBytes;
using scratch::TempDir;
using scratch::WriteBytes;

// Files as any writer of the format leaves them: the name quoted, a comma, the
// number, CR LF; the default file's "登録なし", double-byte names, a sign and an
// empty name included.
TEST(RecordsFileFormat, ReadsAndRewritesFilesByteForByte) {
  const std::string defaultLine = "\"\x93\x6F\x98\x5E\x82\xC8\x82\xB5\",29970\r\n";
  const std::pair<std::string, RecordTable> files[] = {
      {defaultLine + defaultLine + defaultLine, DefaultRecords()},
      {"\"\x96\xBC\x96\xB3\x8E\x6D\x94\x54\x8C\xA0\x95\xBA\x89\x71\",370\r\n"  // 名無士乃権兵衛
       "\"\x83\x5C\x95\x5C\x81\x60\x87\x40\",-3\r\n"                            // ソ表～①
       "\"\",29970\r\n",
       {Record{"名無士乃権兵衛", 370}, Record{"ソ表～①", -3}, Record{"", 29970}}},
  };
  for (const auto& [bytes, records] : files) {
    EXPECT_EQ(ParseRecords(bytes), records);
    EXPECT_EQ(SerializeRecords(records), bytes);
  }
}

std::string Repeat(std::string_view text, size_t times) {
  std::string repeated;
  while (times-- > 0) repeated += text;
  return repeated;
}

// Names go in as typed; only line breaks and what code page 932 lacks change.
TEST(RecordsFileFormat, NamesAndTimesComeBack) {
  const std::string names[] = {
      "名無士乃権兵衛", "～", "①", "髙橋", "ソ表", "ｶﾀｶﾅ", "", " ", "  lead and trail  ", "a,b,,c", ",", "\"",
      "\"\"", "say \"hi\"", "x\",12", "\",5", "tab\there", "<b>bold</b>", "back\\slash", "登録なし",
      std::string(kMaxNameBytes, 'W'), std::string("nul\0inside", 10)};
  const int32_t times[] = {0, 29969, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()};
  for (size_t i = 0; i < std::size(names); ++i) {
    const RecordTable table = {Record{names[i], times[i % 4]}, Record{"mid", 1}, Record{names[i], 2}};
    EXPECT_EQ(ParseRecords(SerializeRecords(table)), table) << names[i];
  }
  const std::pair<std::string, std::string> changed[] = {
      {"two\r\nlines", "twolines"}, {"a\nb\rc", "abc"}, {"para\xE2\x80\xA8graph\xC2\x85", "paragraph"},
      {"😀 smile", "? smile"},       {"caf\xC3\xA9", "caf?"}, {"\xFF", "?"},
      // Cut to the longest name a line holds, never between a character's two bytes.
      {std::string(3 * kMaxNameBytes, 'W'), std::string(kMaxNameBytes, 'W')},
      {"W" + std::string(kMaxNameBytes, 'L'), "W" + std::string(kMaxNameBytes - 1, 'L')},
      {"W" + Repeat("髙", kMaxNameBytes), "W" + Repeat("髙", kMaxNameBytes / 2 - 1)}};
  for (const auto& [typed, stored] : changed) {
    const RecordTable table = {Record{typed, 1}, Record{typed, 2}, Record{typed, 3}};
    EXPECT_EQ(ParseRecords(SerializeRecords(table)),
              (RecordTable{Record{stored, 1}, Record{stored, 2}, Record{stored, 3}})) << typed;
  }
}

TEST(RecordsFileFormat, ReadsOnlyThreeLines) {
  const std::string good = "\"a\",1\r\n";
  const RecordTable abc = {Record{"a", 1}, Record{"b", 2}, Record{"c", 3}};
  EXPECT_EQ(ParseRecords("\"a\",1\n  \"b\" , 2 \r\n\"c\",\t3\n"), abc) << "Unix ends, blanks around the time";
  EXPECT_EQ(ParseRecords("\"a\",1\r\n\"b\",2\r\n\"c\",3\r\n\"d\",6\r\nrubbish\x00\xFF"), abc) << "more lines";
  EXPECT_EQ(ParseRecords("\"a\",1\r\n\"b\",2\r\n\"c\",3"), abc) << "the last line ends the file";
  const std::string damaged[] = {
      "",                                         // empty
      good + good,                                // two lines
      good + "\"b\",2",                           // two lines, the last ending the file
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
      good + good + "\"c\",1,2\r\n",              // more fields on the line
      std::string("\x00\x01\x02\xFF\xFE\n\n\n", 8),  // binary
      good + "\"" + std::string(kMaxRecordLineBytes, 'n') + "\",1\r\n" + good,  // a line no writer makes
  };
  for (const std::string& bytes : damaged) EXPECT_FALSE(ParseRecords(bytes)) << bytes;
}

TEST(RecordsFile, WritesWholeFilesAndNothingBeside) {
  TempDir dir;
  const RecordTable table = {Record{std::string(kMaxNameBytes, 'L'), 400}, Record{"a,\"b\"", 5000}, Record{"", 29970}};
  ASSERT_TRUE(WriteRecords(dir.File(), table));
  EXPECT_EQ(ReadRecords(dir.File()), table);
  // Replacing the long file by a short one leaves exactly the new bytes.
  ASSERT_TRUE(WriteRecords(dir.File(), DefaultRecords()));
  EXPECT_EQ(ReadBytes(dir.File()).size(), 54u);
  EXPECT_EQ(CountEntries(dir.path()), 1);
  // Through a link the link stays and its target is written, keeping its mode
  // (and, for root, its group).
  const auto link = dir.path() / "link.dat";
  std::filesystem::create_symlink(dir.File(), link);
  const gid_t group = ::geteuid() == 0 ? 65534 : ::getegid();
  ASSERT_EQ(::chown(dir.File().c_str(), static_cast<uid_t>(-1), group), 0);
  ::chmod(dir.File().c_str(), 0640);
  ASSERT_TRUE(WriteRecords(link, table));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadRecords(dir.File()), table);
  struct stat status {};
  ASSERT_EQ(::stat(dir.File().c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  EXPECT_EQ(status.st_gid, group);
  EXPECT_EQ(CountEntries(dir.path()), 2);
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
    for (int edits = 1 + static_cast<int>(generator() % 6); edits > 0; --edits) {
      const size_t at = generator() % (bytes.size() + 1);
      const char c = static_cast<char>(generator() % 2 == 0 ? alphabet[generator() % alphabet.size()] : generator());
      switch (generator() % 4) {
        case 0: bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), c); break;
        case 1: if (at < bytes.size()) bytes.erase(at, 1); break;
        case 2: if (at < bytes.size()) bytes[at] = c; break;
        default: bytes.resize(at); break;
      }
    }
    if (iteration % 10 == 9) {
      bytes.resize(generator() % 200);
      for (char& c : bytes) c = static_cast<char>(generator());
    }
    if (const std::optional<RecordTable> records = ParseRecords(bytes)) {
      ++accepted;
      // A name may lose a line break or an undecodable byte on the first
      // rewrite; after that it is stable.
      const std::string rewritten = SerializeRecords(*records);
      const std::optional<RecordTable> again = ParseRecords(rewritten);
      ASSERT_TRUE(again) << iteration;
      EXPECT_EQ(SerializeRecords(*again), rewritten) << iteration;
    }
  }
  EXPECT_GT(accepted, 0);
}

}  // namespace
}  // namespace porteka
