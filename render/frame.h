#pragma once

#include <cstdint>

#include "game/game.h"
#include "game/canvas.h"

namespace porteka {

// A frame starts once more than this many milliseconds have passed since the
// previous one started. Lateness is not carried over; missed frames are lost.
inline constexpr uint32_t kFramePeriodMs = 33;

// One frame: the board, the effects with their triggers, the blinking marker,
// the play clock and counters while a game runs, then one present.
void RunFrame(Game& game, Canvas& canvas);

// The loop's start: the clock reading it times the first frame from.
void EnterLoop(FrameLoop& loop, uint32_t now);

// One turn of the loop at a millisecond clock reading: runs a frame when one is
// due and says whether it did. The difference is taken modulo 2^32, so a clock
// that wraps neither stalls the loop nor runs a burst of frames.
bool LoopTurn(Game& game, Canvas& canvas, uint32_t now);

// Milliseconds until the next frame is due, 0 when it is due now.
uint32_t MillisecondsToNextFrame(const FrameLoop& loop, uint32_t now);

}  // namespace porteka
