#pragma once

#include <cstdint>

#include "game/game.h"

namespace porteka {

// The modes of a move: the mouse buttons' values, plus the two blast rings.
inline constexpr int16_t kUncover = 1;
inline constexpr int16_t kCycleMark = 2;
inline constexpr int16_t kUncoverBlock = 4;
inline constexpr int16_t kInnerBlast = 8;
inline constexpr int16_t kOuterBlast = 9;

// Every move on the board: by the mouse, the keys and the effects' triggers.
// X and Y are pixels on the board surface; any other mode only runs the win test.
void RevealCell(Game& game, const int16_t& mode, const float& X, const float& Y);

// Uncovers one safe cell, counts it off and gives it its opening flash.
void OpenCell(Game& game, const int16_t& x, const int16_t& y);

}  // namespace porteka
