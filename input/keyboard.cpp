#include "input/keyboard.h"

#include <algorithm>

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
      Cover& state = game.board.State(x, y);
      if (state == Cover::Open) continue;
      if (state == Cover::KeyboardMark) {
        state = Cover::Covered;
      } else {
        state = Cover::KeyboardMark;
        marked = true;
      }
    }
  }
  if (!marked) return;
  for (int i = 0; i < 8; ++i) game.outside->PlaySound(SoundCue::Mark);
}

void ToggleMark(Game& game) {
  const int cx = game.pointer.PointerX >> 4;
  const int cy = game.pointer.PointerY >> 4;
  const Cover state = game.board.StateAt(cx, cy);
  if (state == Cover::Open) return;  // also every cell past the arrays
  if (state == Cover::KeyboardMark) {
    game.board.State(cx, cy) = Cover::Covered;
  } else {
    game.board.State(cx, cy) = Cover::KeyboardMark;
    game.outside->PlaySound(SoundCue::Mark);
  }
}

void ButtonAtPointer(Game& game, int16_t button) {
  const float x = static_cast<float>(game.pointer.PointerX);
  const float y = static_cast<float>(game.pointer.PointerY);
  RevealCell(game, ModeOfButtons(button), x, y);
}

// One cell at a time, stopping at the board's edges, keeping the pixel within
// the cell. A selection left off the board by a smaller level first comes back
// to the board's nearest cell. Nothing else changes: no cell, no sound, no
// clock; the blink restarts so the next frame shows the marker where it went.
void MoveSelection(Game& game, int dx, int dy) {
  const int width = game.gro.BoardWidth;
  const int height = game.gro.BoardHeight;
  if (width < 1 || height < 1) return;
  int cx = game.pointer.PointerX >> 4;
  int cy = game.pointer.PointerY >> 4;
  if (game.gro.OnBoard(cx, cy)) {
    cx += dx;
    cy += dy;
  }
  cx = std::clamp(cx, 0, width - 1);
  cy = std::clamp(cy, 0, height - 1);
  game.pointer.PointerX = static_cast<int16_t>(kCellSize * cx + (game.pointer.PointerX & (kCellSize - 1)));
  game.pointer.PointerY = static_cast<int16_t>(kCellSize * cy + (game.pointer.PointerY & (kCellSize - 1)));
  game.loop.CursorBlink = 0;
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
    case kKeyLeft:
      MoveSelection(game, -1, 0);
      break;
    case kKeyUp:
      MoveSelection(game, 0, -1);
      break;
    case kKeyRight:
      MoveSelection(game, 1, 0);
      break;
    case kKeyDown:
      MoveSelection(game, 0, 1);
      break;
    default:
      break;
  }
}

}  // namespace porteka
