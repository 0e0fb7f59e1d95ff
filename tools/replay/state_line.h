#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "game/game.h"
#include "tools/replay/recorder.h"

namespace porteka::replay {

// The whole state after one event as one canonical JSON line (no newline):
// keys in a fixed order, no spaces, ASCII only, integers only, so that two runs
// or two builds can be compared byte by byte.
std::string StateLine(uint64_t number, std::string_view doName, const Game& game, const Recorder& recorder,
                      uint64_t randomDraws);

}  // namespace porteka::replay
