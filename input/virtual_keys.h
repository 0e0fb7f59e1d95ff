#pragma once

#include <cstdint>

namespace porteka {

// The game's key codes are the Windows virtual keys it was made with; this turns
// a Qt key into one, or 0 for a key the game has no code for.
int16_t VirtualKeyCode(int qtKey);

}  // namespace porteka
