#pragma once

#include <cstdint>

#include "game/game.h"

namespace porteka {

// Any level but the three fixed ones is custom: it has no record and keeps the
// settings.
constexpr bool IsFixedLevel(Level level) { return level >= Level::Beginner && level <= Level::Advanced; }

// What the custom board dialog's bars allow: 2 to 32 cells a side, 1 to 256
// bombs but never more than the board's cells. Every board dealt keeps to it.
inline constexpr int16_t kMinBoardSide = 2;
inline constexpr int16_t kMaxBoardSide = kArraySide;
inline constexpr int16_t kMinBombs = 1;
inline constexpr int16_t kMostBombs = 256;
constexpr int16_t MaxCustomBombs(int16_t width, int16_t height) {
  return static_cast<int16_t>(width * height < kMostBombs ? width * height : kMostBombs);
}

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
