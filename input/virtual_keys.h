#pragma once

#include <Qt>
#include <cstdint>

namespace porteka {

// The game's code for a Qt key, or 0 for a key the board does nothing with. The
// codes are the game's own (kKeyA and the rest); scenarios of the replay tool
// give keys by them. F1 to F4 and Ctrl+S are the menus' accelerators, not keys
// of the board.
int16_t VirtualKeyCode(int qtKey);

// Modifier keys as the keys count them: 1 Shift, 2 Ctrl, 4 Alt, added up.
int16_t ShiftSum(Qt::KeyboardModifiers modifiers);

// Buttons held as the board counts them: 1 left, 2 right, 4 middle, added up.
int16_t ButtonSum(Qt::MouseButtons buttons);

}  // namespace porteka
