#pragma once

#include <cstdint>
#include <string>

#include "game/game.h"

namespace porteka {

// "Time 2.29sec": the play clock in seconds, cut to hundredths and then to four
// characters, so the strip never overflows.
std::string TimeText(int32_t elapsedFrames);

// "Bom -1 ": the bombs left, cut to three characters.
std::string BombsText(int16_t bombsLeft);


// Shows the play clock and the bombs counter as they stand.
void UpdateCounters(const Settings& settings, const Board& board, Outside& outside);

}  // namespace porteka
