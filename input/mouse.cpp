#include "input/mouse.h"

#include <cmath>

namespace porteka {
namespace {

// Halves go to even, as the platform converted press positions.
int16_t ToPressPixel(float v) {
  if (!std::isfinite(v)) return 0;
  const float rounded = std::nearbyint(v);
  if (rounded < -32768.0f) return -32768;
  if (rounded > 32767.0f) return 32767;
  return static_cast<int16_t>(rounded);
}

}  // namespace

void Picture1_MouseDown(Pointer& pointer, float X, float Y) {
  pointer.PointerX = ToPressPixel(X);
  pointer.PointerY = ToPressPixel(Y);
}

void Picture1_MouseMove(Game& game, int16_t button, float X, float Y) {
  game.pointer.LastButton = button;
  RevealCell(game, ModeOfButtons(game.pointer.LastButton), X, Y);
}

void Picture1_DblClick(Game& game) {
  if (game.pointer.LastButton != kLeftButton) return;
  if (game.board.StateAt(game.pointer.CellX(), game.pointer.CellY()) != Cover::KeyboardMark) return;

  for (int x = 0; x < game.gro.BoardWidth; ++x) {
    for (int y = 0; y < game.gro.BoardHeight; ++y) {
      if (game.board.State(x, y) != Cover::KeyboardMark) continue;
      game.board.State(x, y) = Cover::Covered;
      RevealAtCell(game, ModeOfButtons(game.pointer.LastButton), x, y);
    }
  }
}

}  // namespace porteka
