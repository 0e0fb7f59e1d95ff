#pragma once

#include <cstdint>
#include <span>
#include <utility>

#include "game/game.h"

namespace porteka {

// A board dealt by hand (tests, the replay tool): the bomb cells, column then row.
using BombLayout = std::span<const std::pair<int16_t, int16_t>>;

// Every new-game action ends here: lay out the level, reset the face, deal.
void StartGame(Game& game);
void StartGame(Game& game, BombLayout bombs);

// A fresh covered board for the current settings, with both effect pools
// empty: nothing of the last board draws on it or acts on it. Needs 2 to 32
// cells a side and 1 to width x height bombs; the level table and the custom
// dialog keep to it.
void NewBoard(Game& game);
void NewBoard(Game& game, BombLayout bombs);

}  // namespace porteka
