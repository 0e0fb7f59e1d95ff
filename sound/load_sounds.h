#pragma once

#include <cstdint>

namespace porteka {

// Fills a sound slot from the program's own resource ":/<type>/<id>" (the
// sounds are "WAVE" 101 to 103). Any failure leaves the slot empty, silently.
void LoadSounds(int32_t slot, int16_t resourceId, const char* resourceType, int32_t count);

// The game's three cues, each into the slot of its own number, with room for
// eight plays of each at once.
void LoadGameSounds();

}  // namespace porteka
