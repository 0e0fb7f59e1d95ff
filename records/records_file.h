#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace porteka {

// The best times live in the working directory, found by this bare name.
inline constexpr const char* kRecordsFileName = "GoodTime.dat";

// One best time: who set it (UTF-8) and how long it took, in frames.
struct Record {
  std::string name;
  int32_t time = 0;

  bool operator==(const Record&) const = default;
};

// One record per fixed level, indexed by `GameLevel` 0, 1 and 2.
using RecordTable = std::array<Record, 3>;

// What an unset level holds: "登録なし" in 999 seconds.
inline constexpr const char* kDefaultRecordName = "登録なし";
inline constexpr int32_t kDefaultRecordTime = 29970;

RecordTable DefaultRecords();

// A records file is a few hundred bytes at most: anything larger is damaged,
// and so is a line longer than any the game writes (names are cut to fit).
inline constexpr size_t kMaxRecordsFileBytes = size_t{64} << 10;
inline constexpr size_t kMaxRecordLineBytes = 1024;
inline constexpr size_t kMaxNameBytes = 1000;

// The file's bytes: for each level a line of a double-quoted name, a comma and
// the time in decimal, ended by CR LF, in code page 932. Names go in as they
// are, quotes and commas included; line breaks are dropped and characters the
// code page lacks become "?", so the file always holds exactly three lines;
// a name is cut to kMaxNameBytes, between two characters.
std::string SerializeRecords(const RecordTable& records);

// Reads the three records back from the file's bytes; the last line may end
// at the end of the bytes, and anything after the third line is ignored. Empty
// when the bytes are not three such lines, or one is too long.
std::optional<RecordTable> ParseRecords(std::string_view bytes);

// The records file as it is now, read without waiting for any lock.
struct RecordsRead {
  enum class Status {
    kMissing,
    kRead,
    kDamaged,     // not three record lines, or too large
    kUnreadable,  // not a plain file, a link that is not followed, no permission: left alone
  };
  Status status = Status::kMissing;
  RecordTable records{};
  int error = 0;  // errno, for kUnreadable
};
RecordsRead ReadRecordsFile(const std::filesystem::path& file);

// The table, or empty when the file is missing, unreadable or damaged.
std::optional<RecordTable> ReadRecords(const std::filesystem::path& file);

// Replaces the file as a whole (see UpdatePlayerFile). False when it could
// not be written.
bool WriteRecords(const std::filesystem::path& file, const RecordTable& records);

}  // namespace porteka
