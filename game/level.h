#pragma once

#include <cstdint>

#include "game/game.h"

namespace porteka {

inline constexpr int16_t kBeginner = 0;
inline constexpr int16_t kIntermediate = 1;
inline constexpr int16_t kAdvanced = 2;
inline constexpr int16_t kCustom = 4;

// Any level of 3 or more is custom: it has no record and keeps the settings.
constexpr bool IsFixedLevel(int16_t level) { return level >= 0 && level < 3; }

// The size and bombs of a fixed level; a custom level keeps the settings it has.
struct LevelSize {
  int16_t bombs, width, height;
};
LevelSize SizeOfLevel(int16_t level, const Settings& current);

// The window's interior around a board of this many cells.
Layout ComputeLayout(int16_t boardWidth, int16_t boardHeight);

// Sets the fixed levels' size and bombs (custom keeps what it has) and lays the
// window out around the board.
void ApplyLevel(Game& game, const int16_t& level);

}  // namespace porteka
