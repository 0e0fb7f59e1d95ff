#pragma once

#include <cstdint>

#include "game/game.h"

namespace porteka {

// Key codes as the game knows them: letters are their upper-case ASCII codes,
// the rest the usual PC virtual-key numbers. Scenarios of the replay tool use them.
inline constexpr int16_t kKeyEnter = 13;
inline constexpr int16_t kKeyEscape = 27;
inline constexpr int16_t kKeySpace = 32;
inline constexpr int16_t kKeyLeft = 37;
inline constexpr int16_t kKeyUp = 38;
inline constexpr int16_t kKeyRight = 39;
inline constexpr int16_t kKeyDown = 40;
inline constexpr int16_t kKeyA = 65;
inline constexpr int16_t kKeyC = 67;
inline constexpr int16_t kKeyX = 88;
inline constexpr int16_t kKeyZ = 90;

// The modifier keys held add up: 1 Shift, 2 Ctrl, 4 Alt. Only Ctrl alone
// changes what a key does.
inline constexpr int16_t kCtrlKey = 2;

// The keys play the three buttons at the selected cell (set by a press, moved
// by the arrows), and set or invert the keyboard mark there or over the whole
// board; with the arrows the game plays without a mouse.
void Form_KeyDown(Game& game, int16_t keyCode, int16_t shift);

}  // namespace porteka
