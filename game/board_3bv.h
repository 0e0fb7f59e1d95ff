#pragma once

#include <cstdint>

#include "game/game.h"

namespace porteka {

// The board's 3BV: the fewest uncover actions that clear it. One uncovering of
// an empty cell opens its whole empty region with the numbers around it, so
// each such region counts once; a numbered safe cell that touches no empty
// cell has to be uncovered on its own and counts once too. Read from the
// board as dealt (bombs and neighbour counts, no rubble yet).
int16_t Board3BV(const Game& game);

}  // namespace porteka
