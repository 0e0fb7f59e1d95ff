#pragma once

#include <array>
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

// The file's bytes: for each level a line of a double-quoted name, a comma and
// the time in decimal, ended by CR LF, in code page 932. Names go in as they
// are, quotes and commas included; line breaks are dropped and characters the
// code page lacks become "?", so the file always holds exactly three lines.
std::string SerializeRecords(const RecordTable& records);

// Reads the three records back from the file's bytes; the last line may end
// at the end of the bytes, and anything after the third line is ignored. Empty
// when the bytes are not three such lines.
std::optional<RecordTable> ParseRecords(std::string_view bytes);

// The file's bytes up to the end of its third line, or all of them when it
// has fewer lines; empty when it is missing, is not a plain file, or cannot be
// read.
std::optional<std::string> ReadRecordLines(const std::filesystem::path& file);

// Empty when the file is missing, is not a plain file, or is damaged.
std::optional<RecordTable> ReadRecords(const std::filesystem::path& file);

// Replaces the file as a whole (see WriteFileAtomically). False when it could
// not be written.
bool WriteRecords(const std::filesystem::path& file, const RecordTable& records);

}  // namespace porteka
