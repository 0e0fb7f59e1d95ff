#include "ui/settings_file.h"

#include <cstdlib>
#include <string>
#include <string_view>
#include <system_error>

#include "records/player_file.h"
#include "ui/zoom.h"

namespace porteka {
namespace {

namespace fs = std::filesystem;

// Far more than the file ever holds: a longer one is not ours.
constexpr size_t kLargestFile = 4096;

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

fs::path SettingsFilePath() {
  // Relative folders are not to be used, as for every program that follows
  // the XDG folders.
  fs::path folder;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  if (config != nullptr && fs::path(config).is_absolute()) {
    folder = config;
  } else if (home != nullptr && fs::path(home).is_absolute()) {
    folder = fs::path(home) / ".config";
  } else {
    return {};
  }
  return folder / "porteka" / "porteka.conf";
}

int ReadZoomSetting(const fs::path& file) {
  if (file.empty()) return kMinZoom;
  const FileRead read = ReadPlayerFile(file, kLargestFile);
  if (read.status != FileRead::Status::kRead) return kMinZoom;

  // Lines of "name=value"; blank lines, comments and names of other
  // settings pass. The last zoom line counts, and a zoom that is not one of
  // the factors makes the file damaged.
  int zoom = kMinZoom;
  std::string_view rest = read.bytes;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    const std::string_view line = Trimmed(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos || Trimmed(line.substr(0, equals)) != "zoom") continue;
    const std::string_view value = Trimmed(line.substr(equals + 1));
    if (value.size() != 1 || value[0] < '0' + kMinZoom || value[0] > '0' + kMaxZoom) return kMinZoom;
    zoom = value[0] - '0';
  }
  return zoom;
}

bool SaveZoomSetting(const fs::path& file, int zoom) {
  if (file.empty() || zoom < kMinZoom || zoom > kMaxZoom) return false;
  std::error_code error;
  fs::create_directories(file.parent_path(), error);
  const std::string bytes = "# ポルテカ: the zoom chosen in the 表示 menu, 1 to 4\nzoom=" + std::to_string(zoom) + "\n";
  // Whatever the file held, this is the setting now. Another game saving at
  // the same moment keeps the folder's lock: the menu does not wait for it,
  // and this choice is the one lost.
  const WriteResult result = UpdatePlayerFile(
      file, kLargestFile, [&bytes](const FileRead&) { return FileChange{bytes, false}; }, /*idempotent=*/true,
      /*wait=*/false);
  return result.outcome != WriteResult::Outcome::kFailed;
}

}  // namespace porteka
