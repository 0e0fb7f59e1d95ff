#include "records/records_file.h"


#include <algorithm>
#include <charconv>

#include "records/player_file.h"
#include "records/cp932.h"

namespace porteka {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A name must stay on its line: every kind of line break goes, the rest is
// left to the code page.
std::string DropLineBreaks(std::string_view name) {
  std::string kept;
  kept.reserve(name.size());
  for (size_t i = 0; i < name.size(); ++i) {
    const std::string_view rest = name.substr(i);
    if (name[i] == '\r' || name[i] == '\n' || name[i] == '\v' || name[i] == '\f') {
      continue;
    }
    if (rest.starts_with("\xC2\x85") || rest.starts_with("\xE2\x80\xA8") ||
        rest.starts_with("\xE2\x80\xA9")) {
      i += rest[0] == '\xC2' ? 1 : 2;
      continue;
    }
    kept += name[i];
  }
  return kept;
}

// Cuts at a character boundary of code page 932, never between the two bytes
// of one character.
std::string CapName(std::string cp932) {
  if (cp932.size() <= kMaxNameBytes) {
    return cp932;
  }
  size_t end = 0;
  while (end < cp932.size()) {
    const auto byte = static_cast<unsigned char>(cp932[end]);
    const size_t length = ((byte >= 0x81 && byte <= 0x9F) || byte >= 0xE0) ? 2 : 1;
    if (end + length > kMaxNameBytes) {
      break;
    }
    end += length;
  }
  cp932.resize(end);
  return cp932;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && IsBlank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

// `"name",time`. The name runs from the first quote to the last one, so quotes
// and commas inside it come back as they were written. Code page 932 never uses
// a quote, a comma or a line end as the second byte of a character, so the
// bytes can be taken apart before they are decoded.
std::optional<Record> ParseLine(std::string_view line) {
  while (!line.empty() && IsBlank(line.front())) {
    line.remove_prefix(1);
  }
  if (line.empty() || line.front() != '"') {
    return std::nullopt;
  }
  const size_t closing = line.rfind('"');
  if (closing == 0) {
    return std::nullopt;
  }
  std::string_view rest = TrimBlanks(line.substr(closing + 1));
  if (rest.empty() || rest.front() != ',') {
    return std::nullopt;
  }
  rest = TrimBlanks(rest.substr(1));
  if (rest.empty() || rest.front() == '+') {
    return std::nullopt;
  }
  int32_t time = 0;
  const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), time);
  if (error != std::errc() || end != rest.data() + rest.size()) {
    return std::nullopt;
  }
  return Record{Cp932ToUtf8(line.substr(1, closing - 1)), time};
}

}  // namespace

RecordTable DefaultRecords() {
  const Record unset{kDefaultRecordName, kDefaultRecordTime};
  return {unset, unset, unset};
}

std::string SerializeRecords(const RecordTable& records) {
  std::string bytes;
  for (const Record& record : records) {
    bytes += '"';
    bytes += CapName(Utf8ToCp932(DropLineBreaks(record.name)));
    bytes += "\",";
    bytes += std::to_string(record.time);
    bytes += "\r\n";
  }
  return bytes;
}

std::optional<RecordTable> ParseRecords(std::string_view bytes) {
  RecordTable records;
  for (size_t i = 0; i < records.size(); ++i) {
    // A line ends with CR LF, with a bare LF (a file that went through a Unix
    // editor) or, the last one, at the end of the file. Saves are atomic, so
    // the game never leaves a line cut short there.
    size_t lineEnd = bytes.find('\n');
    if (lineEnd == std::string_view::npos) {
      if (i + 1 < records.size()) {
        return std::nullopt;
      }
      lineEnd = bytes.size();
    }
    std::string_view line = bytes.substr(0, lineEnd);
    if (line.size() > kMaxRecordLineBytes) {
      return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    std::optional<Record> parsed = ParseLine(line);
    if (!parsed) {
      return std::nullopt;
    }
    records[i] = std::move(*parsed);
    bytes.remove_prefix(std::min(lineEnd + 1, bytes.size()));
  }
  return records;
}

RecordsRead ReadRecordsFile(const std::filesystem::path& file) {
  const FileRead found = ReadPlayerFile(file, kMaxRecordsFileBytes);
  RecordsRead read;
  switch (found.status) {
    case FileRead::Status::kMissing:
      break;
    case FileRead::Status::kUnreadable:
      read.status = RecordsRead::Status::kUnreadable;
      read.error = found.error;
      break;
    case FileRead::Status::kTooLarge:
      read.status = RecordsRead::Status::kDamaged;
      break;
    case FileRead::Status::kRead:
      if (std::optional<RecordTable> records = ParseRecords(found.bytes)) {
        read.status = RecordsRead::Status::kRead;
        read.records = std::move(*records);
      } else {
        read.status = RecordsRead::Status::kDamaged;
      }
      break;
  }
  return read;
}

std::optional<RecordTable> ReadRecords(const std::filesystem::path& file) {
  RecordsRead read = ReadRecordsFile(file);
  if (read.status != RecordsRead::Status::kRead) return std::nullopt;
  return std::move(read.records);
}

bool WriteRecords(const std::filesystem::path& file, const RecordTable& records) {
  return WritePlayerFile(file, SerializeRecords(records), kMaxRecordsFileBytes).outcome ==
         WriteResult::Outcome::kWritten;
}

}  // namespace porteka
