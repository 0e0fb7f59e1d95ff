#include "render/frame.h"

#include "game/counters.h"
#include "game/effects.h"

namespace porteka {

void RunFrame(Game& game, Canvas& canvas) {
  canvas.DrawBoard(game.gro, game.board);
  AnimateEffects(game, canvas);

  // The marker sits on the selected cell, wherever that is now.
  const auto gx = static_cast<int16_t>(game.pointer.CellX() * kCellSize);
  const auto gy = static_cast<int16_t>(game.pointer.CellY() * kCellSize);
  game.loop.CursorBlink = static_cast<uint8_t>(1 - game.loop.CursorBlink);
  if (game.loop.CursorBlink == 1) canvas.DrawMarker(gx, gy);

  if (game.board.GameState == GamePhase::Running) {
    ++game.gro.ElapsedTime;
    UpdateCounters(game.gro, game.board, *game.outside);
  }
  canvas.PresentBoard();
}

void EnterLoop(FrameLoop& loop, uint32_t now) {
  loop.LastFrameTime = now;
  loop.LoopRunning = 1;
}

bool LoopTurn(Game& game, Canvas& canvas, uint32_t now) {
  if (now - game.loop.LastFrameTime <= kFramePeriodMs) return false;
  game.loop.LastFrameTime = now;
  RunFrame(game, canvas);
  return true;
}

uint32_t MillisecondsToNextFrame(const FrameLoop& loop, uint32_t now) {
  const uint32_t elapsed = now - loop.LastFrameTime;
  return elapsed > kFramePeriodMs ? 0 : kFramePeriodMs + 1 - elapsed;
}

}  // namespace porteka
