#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "game/game.h"
#include "records/player_file.h"

namespace porteka {

// Each fixed level's record keeps the run that made it, a scenario of the
// replay tool, in a file beside the records file: "GoodTime.beginner.json",
// "GoodTime.intermediate.json" and "GoodTime.advanced.json" beside
// "GoodTime.dat".
std::filesystem::path RunFileOf(const std::filesystem::path& recordsFile, Level level);

// Far above any run the game writes: the replay tool takes 20,000 events, each
// a line of sixty bytes at most.
inline constexpr size_t kMaxRunFileBytes = size_t{2} << 20;

// Puts a record's run beside the records file, replacing the level's earlier
// run, provided the records file holds `time` for that level at that moment:
// a run never goes in under another game's record. Written the way every
// player file is (see UpdatePlayerFile); call it off the thread that draws.
// kUnchanged: the records file holds another time for the level.
WriteResult SaveRecordRun(const std::filesystem::path& recordsFile, Level level, int32_t time, std::string_view run);

}  // namespace porteka
