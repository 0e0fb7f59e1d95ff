#pragma once

#include <cstdint>

#include "game/game.h"

namespace porteka {

// Any level of 3 or more is custom: it has no record and keeps the settings.
constexpr bool IsFixedLevel(Level level) { return level >= Level::Beginner && level <= Level::Advanced; }

// The size and bombs of a fixed level; a custom level keeps the settings it has.
struct LevelSize {
  int16_t bombs, width, height;
};
LevelSize SizeOfLevel(Level level, const Settings& current);

// The window's interior around a board of this many cells.
Layout ComputeLayout(int16_t boardWidth, int16_t boardHeight);

// Sets the fixed levels' size and bombs (custom keeps what it has) and lays the
// window out around the board.
void ApplyLevel(Game& game, Level level);

}  // namespace porteka
