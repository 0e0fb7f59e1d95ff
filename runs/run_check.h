#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "game/game.h"
#include "runs/run_recorder.h"

namespace porteka {

// How a run ends when the rules play it with no window.
struct RunEnd {
  std::string error;  // why it cannot be played; empty when it played to its end
  Level level = Level::Beginner;
  int32_t elapsedTime = 0;
  GamePhase state = GamePhase::Over;
  Face face = Face::Normal;
  // Every records check on the way: the level and the play clock then.
  std::vector<std::pair<Level, int32_t>> recordChecks;
  // Frames after the last event while effects are live, kMaxRestFrames at most.
  uint32_t framesToRest = 0;
};

// Plays a run: any scenario of the replay tool that starts with a dealt board.
RunEnd PlayRun(std::string_view text);

// Whether a run is a record's: it ends won at that level, in exactly that
// many frames.
bool IsRunOf(const RunEnd& end, Level level, int32_t time);

// A recorded game as a run to keep: played through once, it must end the
// game (won at `record`'s level and time, when given), and it gets the frames
// its board takes to come to rest. Empty when it cannot be kept.
std::string FinishRun(const RunRecorder& recorder, std::optional<std::pair<Level, int32_t>> record = std::nullopt);

// The run kept beside the records file for a level, when it is the run of
// that level's record (`time`); a missing, damaged or foreign file is none.
std::optional<std::string> RecordRunOf(const std::filesystem::path& recordsFile, Level level, int32_t time);

// A file to watch, read and played through; nothing, with the reason in
// `error`, when it cannot be watched.
std::optional<std::string> ReadRunToWatch(const std::filesystem::path& file, std::string& error);

}  // namespace porteka
