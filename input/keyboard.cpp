#include "input/keyboard.h"

#include "game/reveal.h"
#include "input/mouse.h"

namespace porteka {
namespace {

// Flags become marks too, and the bombs counter stays lowered for them: the way
// back from a mark does not raise it either.
void InvertMarks(Game& game) {
  bool marked = false;
  for (int y = 0; y < game.gro.BoardHeight; ++y) {
    for (int x = 0; x < game.gro.BoardWidth; ++x) {
      uint8_t& state = game.State(x, y);
      if (state == kOpen) continue;
      if (state == kKeyboardMark) {
        state = kCovered;
      } else {
        state = kKeyboardMark;
        marked = true;
      }
    }
  }
  if (!marked) return;
  for (int i = 0; i < 8; ++i) game.outside->PlaySound(kMarkSound);
}

void ToggleMark(Game& game) {
  const int cx = game.PointerX >> 4;
  const int cy = game.PointerY >> 4;
  const uint8_t state = game.StateAt(cx, cy);
  if (state == kOpen) return;  // also every cell past the arrays
  if (state == kKeyboardMark) {
    game.State(cx, cy) = kCovered;
  } else {
    game.State(cx, cy) = kKeyboardMark;
    game.outside->PlaySound(kMarkSound);
  }
}

void ButtonAtPointer(Game& game, int16_t mode) {
  const float x = static_cast<float>(game.PointerX);
  const float y = static_cast<float>(game.PointerY);
  RevealCell(game, mode, x, y);
}

}  // namespace

void Form_KeyDown(Game& game, int16_t keyCode, int16_t shift) {
  switch (keyCode) {
    case kKeyA:
      if (shift == kCtrlKey) {
        InvertMarks(game);
      } else {
        ToggleMark(game);
      }
      break;
    case kKeyEnter:
    case kKeyC:
      ButtonAtPointer(game, kRightButton);
      break;
    case kKeyEscape:
    case kKeyZ:
      ButtonAtPointer(game, kLeftButton);
      break;
    case kKeySpace:
    case kKeyX:
      ButtonAtPointer(game, kMiddleButton);
      break;
    default:
      break;
  }
}

}  // namespace porteka
