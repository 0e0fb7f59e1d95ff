#pragma once

#include <cstdint>

#include "game/game.h"
#include "game/reveal.h"

namespace porteka {

// Mouse buttons as the board sees them; held buttons add up, and the sum is
// the mode of a move.
inline constexpr int16_t kLeftButton = 1;
inline constexpr int16_t kRightButton = 2;
inline constexpr int16_t kMiddleButton = 4;
constexpr RevealMode ModeOfButtons(int16_t buttons) { return static_cast<RevealMode>(buttons); }
static_assert(ModeOfButtons(kLeftButton) == RevealMode::Uncover && ModeOfButtons(kRightButton) == RevealMode::CycleMark &&
              ModeOfButtons(kMiddleButton) == RevealMode::UncoverBlock);

// A press only remembers where it was: the marker's cell and the keys' target.
void Picture1_MouseDown(Pointer& pointer, float X, float Y);

// Every move acts: the buttons held are the mode of a move at the pointer.
void Picture1_MouseMove(Game& game, int16_t button, float X, float Y);

// A double click after a move with the left button alone, on a keyboard-marked
// cell, uncovers every marked cell, column by column.
void Picture1_DblClick(Game& game);

}  // namespace porteka
