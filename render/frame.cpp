#include "render/frame.h"

#include "render/counters.h"
#include "render/effects.h"

namespace porteka {

void RunFrame(Game& game, Canvas& canvas) {
  canvas.DrawBoard(game);
  AnimateEffects(game, canvas);

  // The marker sits on the selected cell, wherever that is now.
  const auto gx = static_cast<int16_t>((game.PointerX >> 4) * kCellSize);
  const auto gy = static_cast<int16_t>((game.PointerY >> 4) * kCellSize);
  game.CursorBlink = static_cast<uint8_t>(1 - game.CursorBlink);
  if (game.CursorBlink == 1) canvas.DrawMarker(gx, gy);

  if (game.GameState == GamePhase::Running) {
    ++game.gro.ElapsedTime;
    DrawCounters(game);
  }
  canvas.PresentBoard();
}

void EnterLoop(Game& game, uint32_t now) {
  game.LastFrameTime = now;
  game.LoopRunning = 1;
}

bool LoopTurn(Game& game, Canvas& canvas, uint32_t now) {
  if (now - game.LastFrameTime <= kFramePeriodMs) return false;
  game.LastFrameTime = now;
  RunFrame(game, canvas);
  return true;
}

uint32_t MillisecondsToNextFrame(const Game& game, uint32_t now) {
  const uint32_t elapsed = now - game.LastFrameTime;
  return elapsed > kFramePeriodMs ? 0 : kFramePeriodMs + 1 - elapsed;
}

}  // namespace porteka
