#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/game.h"
#include "records/player_file.h"

namespace porteka {

// The statistics live beside the records file, found by this bare name.
inline constexpr const char* kStatisticsFileName = "Statistics.json";
// A few kilobytes at most: anything larger is damaged.
inline constexpr size_t kMaxStatisticsFileBytes = size_t{64} << 10;
// Counts stop here, where other programs' JSON numbers are still exact.
inline constexpr int64_t kMaxStatisticsCount = int64_t{1} << 53;

enum class GameOutcome : uint8_t { Won, Lost, Abandoned };

// One game that counts: its clock ran, and it was won, lost or left running.
struct GameResult {
  Level level = Level::Beginner;
  GameOutcome outcome = GameOutcome::Won;
  int32_t frames = 0;
  int16_t threeBV = 0;

  bool operator==(const GameResult&) const = default;
};

struct LevelStatistics {
  int64_t played = 0;
  int64_t won = 0;
  int64_t lost = 0;
  int64_t abandoned = 0;
  int64_t streak = 0;  // wins in a row up to the last game
  int64_t bestStreak = 0;
  std::optional<int32_t> bestFrames;  // empty until the first win
  int64_t wonFrames = 0;              // all wins together, for the mean
  int64_t playedFrames = 0;
  std::optional<double> best3BVPerSecond;

  bool operator==(const LevelStatistics&) const = default;
};

// Beginner, intermediate, advanced and every custom board together.
inline constexpr int kStatisticsLevels = 4;
size_t StatisticsIndex(Level level);

struct Statistics {
  std::array<LevelStatistics, kStatisticsLevels> levels{};
  std::optional<GameResult> last;

  bool operator==(const Statistics&) const = default;
};

// 3BV a second of a game won in `frames`; empty for a win in no time at all.
std::optional<double> ThreeBVPerSecond(int16_t threeBV, int32_t frames);

// One more game on its level: a win adds to the streak, anything else ends it.
void CountGame(Statistics& statistics, const GameResult& game);

// UTF-8 JSON a player can read:
// {"version": 1, "levels": {"beginner": {...}, ...}, "last": {...} or null}.
std::string SerializeStatistics(const Statistics& statistics);
// Empty when the bytes are not such a file. A field that is missing counts as
// nothing yet; one of the wrong kind, or out of range, makes the file damaged.
std::optional<Statistics> ParseStatistics(std::string_view bytes);

// What the file holds now, read without waiting for any lock; nothing yet
// when it is missing, damaged or unreadable.
Statistics ReadStatistics(const std::filesystem::path& file);

// Adds the games to the file (see UpdatePlayerFile); `clear` starts afresh
// first. A damaged file is set aside and counting starts again from nothing.
// Another game's games, written meanwhile, are kept. May wait a second for
// another game's lock: call it off the thread that draws.
WriteResult AddToStatistics(const std::filesystem::path& file, const std::vector<GameResult>& games,
                            bool clear = false);

}  // namespace porteka
