#pragma once

#include <cstdint>

#include "game/game.h"

namespace porteka {

// The board's 3BV, the genre's measure of how hard a board is: the uncover
// actions that clear it when one uncovering of an empty cell opens its empty
// region with the numbers around it. Each such region counts once, and each
// numbered safe cell that touches no empty cell once more. (Our wave also
// carries on from a number into the other regions it touches, so a board may
// clear in fewer; the count stays the common one.) Read from the board as
// dealt: bombs and neighbour counts, no rubble yet.
int16_t Board3BV(const Settings& settings, const Board& board);

}  // namespace porteka
