#pragma once

#include <cstdint>

#include "game/game.h"

namespace porteka {

// The modes of a move: the mouse buttons' values, plus the two blast rings. The
// buttons held are passed on as they add up, so a mode may be any sum of 1, 2
// and 4; the sums that name no mode only run the win test.
enum class RevealMode : int16_t { Uncover = 1, CycleMark = 2, UncoverBlock = 4, InnerBlast = 8, OuterBlast = 9 };

// Every move on the board: by the mouse, the keys and the effects' triggers.
// The triggers live with the effects (game/effects.cpp): the flashes' open the
// blocks around empty cells (the flood wave), the explosions' blast two rings
// (the chain reaction); both come back here for each cell they act on.
// X and Y are pixels on the board surface; any other mode only runs the win test.
void RevealCell(Game& game, RevealMode mode, float X, float Y);

// RevealCell at the top left pixel of cell (x, y): how the keys' block, the
// double click and the effects' triggers move on a cell.
void RevealAtCell(Game& game, RevealMode mode, int x, int y);

// Uncovers one safe cell, counts it off and gives it its opening flash.
void OpenCell(Game& game, int16_t x, int16_t y);

}  // namespace porteka
