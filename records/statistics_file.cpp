#include "records/statistics_file.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>

#include "game/level.h"

namespace porteka {
namespace {

using nlohmann::json;
using nlohmann::ordered_json;

constexpr std::array<const char*, kStatisticsLevels> kLevelKeys = {"beginner", "intermediate", "advanced", "custom"};
constexpr std::array<const char*, 3> kOutcomeKeys = {"won", "lost", "abandoned"};
constexpr Level kLevelOfIndex[kStatisticsLevels] = {Level::Beginner, Level::Intermediate, Level::Advanced,
                                                    Level::Custom};
// Deeper than any file of ours: a hand-made file nested deeper is damaged.
constexpr int kMaxDepth = 8;

void Add(int64_t& count, int64_t more) { count = std::min(count + more, kMaxStatisticsCount); }

template <size_t N>
std::optional<size_t> KeyIndex(const std::array<const char*, N>& keys, const json& value) {
  if (!value.is_string()) return std::nullopt;
  for (size_t i = 0; i < N; ++i) {
    if (value.get_ref<const std::string&>() == keys[i]) return i;
  }
  return std::nullopt;
}

// A whole number from 0 to `max`; a missing field leaves `out` as it is.
bool Take(const json& object, const char* key, int64_t max, int64_t& out) {
  const auto field = object.find(key);
  if (field == object.end()) return true;
  if (!field->is_number_unsigned() || field->get<uint64_t>() > static_cast<uint64_t>(max)) return false;
  out = field->get<int64_t>();
  return true;
}

bool TakeLevel(const json& object, LevelStatistics& level) {
  if (!object.is_object()) return false;
  int64_t bestFrames = -1;
  if (object.contains("best_frames") && !object["best_frames"].is_null()) {
    if (!Take(object, "best_frames", std::numeric_limits<int32_t>::max(), bestFrames)) return false;
    level.bestFrames = static_cast<int32_t>(bestFrames);
  }
  if (object.contains("best_3bv_per_second") && !object["best_3bv_per_second"].is_null()) {
    const json& rate = object["best_3bv_per_second"];
    if (!rate.is_number() || !(rate.get<double>() >= 0) || !std::isfinite(rate.get<double>())) return false;
    level.best3BVPerSecond = rate.get<double>();
  }
  return Take(object, "played", kMaxStatisticsCount, level.played) &&
         Take(object, "won", kMaxStatisticsCount, level.won) && Take(object, "lost", kMaxStatisticsCount, level.lost) &&
         Take(object, "abandoned", kMaxStatisticsCount, level.abandoned) &&
         Take(object, "streak", kMaxStatisticsCount, level.streak) &&
         Take(object, "best_streak", kMaxStatisticsCount, level.bestStreak) &&
         Take(object, "won_frames", kMaxStatisticsCount, level.wonFrames) &&
         Take(object, "played_frames", kMaxStatisticsCount, level.playedFrames);
}

bool TakeLast(const json& object, std::optional<GameResult>& last) {
  if (object.is_null()) return true;
  if (!object.is_object() || !object.contains("level") || !object.contains("outcome")) return false;
  const std::optional<size_t> level = KeyIndex(kLevelKeys, object["level"]);
  const std::optional<size_t> outcome = KeyIndex(kOutcomeKeys, object["outcome"]);
  int64_t frames = 0;
  int64_t threeBV = 0;
  if (!level || !outcome || !Take(object, "frames", std::numeric_limits<int32_t>::max(), frames) ||
      !Take(object, "3bv", kArraySide * kArraySide, threeBV)) {
    return false;
  }
  last = GameResult{kLevelOfIndex[*level], static_cast<GameOutcome>(*outcome), static_cast<int32_t>(frames),
                    static_cast<int16_t>(threeBV)};
  return true;
}

// The nesting is measured before the parser builds anything from it.
bool NestedTooDeep(std::string_view bytes) {
  int depth = 0;
  bool inString = false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (inString) {
      if (c == '\\') ++i;
      else if (c == '"') inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > kMaxDepth) return true;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return false;
}

}  // namespace

size_t StatisticsIndex(Level level) { return IsFixedLevel(level) ? static_cast<size_t>(level) : 3; }

std::optional<double> ThreeBVPerSecond(int16_t threeBV, int32_t frames) {
  if (frames <= 0) return std::nullopt;
  return threeBV * 30.0 / frames;
}

void CountGame(Statistics& statistics, const GameResult& game) {
  LevelStatistics& level = statistics.levels[StatisticsIndex(game.level)];
  const int32_t frames = std::max(game.frames, 0);
  Add(level.played, 1);
  Add(level.playedFrames, frames);
  switch (game.outcome) {
    case GameOutcome::Won: {
      Add(level.won, 1);
      Add(level.streak, 1);
      level.bestStreak = std::max(level.bestStreak, level.streak);
      Add(level.wonFrames, frames);
      level.bestFrames = std::min(level.bestFrames.value_or(frames), frames);
      if (const std::optional<double> rate = ThreeBVPerSecond(game.threeBV, frames)) {
        level.best3BVPerSecond = std::max(level.best3BVPerSecond.value_or(*rate), *rate);
      }
      break;
    }
    case GameOutcome::Lost:
      Add(level.lost, 1);
      level.streak = 0;
      break;
    case GameOutcome::Abandoned:
      Add(level.abandoned, 1);
      level.streak = 0;
      break;
  }
  statistics.last = game;
}

std::string SerializeStatistics(const Statistics& statistics) {
  ordered_json levels = ordered_json::object();
  for (size_t i = 0; i < kStatisticsLevels; ++i) {
    const LevelStatistics& level = statistics.levels[i];
    auto orNull = [](const auto& value) { return value ? ordered_json(*value) : ordered_json(nullptr); };
    levels[kLevelKeys[i]] = {
        {"played", level.played},           {"won", level.won},
        {"lost", level.lost},               {"abandoned", level.abandoned},
        {"streak", level.streak},           {"best_streak", level.bestStreak},
        {"best_frames", orNull(level.bestFrames)}, {"won_frames", level.wonFrames},
        {"played_frames", level.playedFrames},     {"best_3bv_per_second", orNull(level.best3BVPerSecond)},
    };
  }
  ordered_json last = nullptr;
  if (const std::optional<GameResult>& game = statistics.last) {
    last = {{"level", kLevelKeys[StatisticsIndex(game->level)]},
            {"outcome", kOutcomeKeys[static_cast<size_t>(game->outcome)]},
            {"frames", game->frames},
            {"3bv", game->threeBV}};
  }
  const ordered_json file = {{"version", 1}, {"levels", levels}, {"last", last}};
  return file.dump(2) + "\n";
}

std::optional<Statistics> ParseStatistics(std::string_view bytes) {
  if (NestedTooDeep(bytes)) return std::nullopt;
  const json file = json::parse(bytes, nullptr, /*allow_exceptions=*/false);
  if (!file.is_object() || file.value("version", json()) != json(1)) return std::nullopt;
  Statistics statistics;
  if (file.contains("levels")) {
    const json& levels = file["levels"];
    if (!levels.is_object()) return std::nullopt;
    for (size_t i = 0; i < kStatisticsLevels; ++i) {
      if (levels.contains(kLevelKeys[i]) && !TakeLevel(levels[kLevelKeys[i]], statistics.levels[i])) {
        return std::nullopt;
      }
    }
  }
  if (file.contains("last") && !TakeLast(file["last"], statistics.last)) return std::nullopt;
  return statistics;
}

Statistics ReadStatistics(const std::filesystem::path& file) {
  const FileRead read = ReadPlayerFile(file, kMaxStatisticsFileBytes);
  if (read.status != FileRead::Status::kRead) return {};
  return ParseStatistics(read.bytes).value_or(Statistics{});
}

WriteResult AddToStatistics(const std::filesystem::path& file, const std::vector<GameResult>& games, bool clear) {
  return UpdatePlayerFile(file, kMaxStatisticsFileBytes, [&](const FileRead& found) {
    std::optional<Statistics> statistics;
    if (found.status == FileRead::Status::kRead) statistics = ParseStatistics(found.bytes);
    const bool damaged = !statistics && found.status != FileRead::Status::kMissing;
    if (clear || !statistics) statistics = Statistics{};
    for (const GameResult& game : games) CountGame(*statistics, game);
    return FileChange{SerializeStatistics(*statistics), damaged};
  });
}

}  // namespace porteka
