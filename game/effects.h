#pragma once

#include <cstdint>

#include "game/game.h"
#include "game/canvas.h"

namespace porteka {

inline constexpr int kOpenFrames = 10;
inline constexpr int kExplosionFrames = 20;
inline constexpr int kOpenSpriteSize = 48;
inline constexpr int kExplosionSpriteSize = 120;
// Each sprite is centred on its cell.
inline constexpr int kOpenOffset = 16;
inline constexpr int kExplosionOffset = 52;
// The pass that draws frame 2 fires the trigger.
inline constexpr uint8_t kTriggerPhase = 3;

// An opening flash over a cell just uncovered, with its sound. A full pool
// drops it silently, and the flood wave stops there.
void SpawnOpenEffect(EffectPools& effects, Outside& outside, int16_t x, int16_t y);

// A bomb going off: losing face, game over, the blast sound. A full pool
// drops all of that.
void SpawnExplosion(EffectPools& effects, Board& board, Outside& outside, int16_t x, int16_t y);

// One pass over both pools, flashes first: draw each live effect, advance it,
// and two frames in fire its trigger. The flashes open the blocks around empty
// neighbours (the flood wave); the explosions blast two rings (the chain).
void AnimateEffects(Game& game, Canvas& canvas);

}  // namespace porteka
