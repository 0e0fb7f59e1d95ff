#pragma once

#include <cstdint>

#include "game/game.h"
#include "game/new_board.h"

namespace porteka {

// The state at start-up: empty arrays, the intermediate layout, no board. The
// surface shows open empty cells and nothing a move can change.
void LoadGame(Game& game);

// A fixed level from the menu or F1 to F3: a new board at that level.
void StartLevel(Game& game, Level level);
void StartLevel(Game& game, Level level, BombLayout bombs);

// The custom board dialog confirmed: the size and bombs it shows become the
// settings. Values outside what its bars allow are pulled in, so a board can
// always be dealt.
void SetCustomBoard(Game& game, int16_t width, int16_t height, int16_t bombs);

// After the custom board dialog closes, confirmed or not.
void StartCustomGame(Game& game);
void StartCustomGame(Game& game, BombLayout bombs);

}  // namespace porteka
