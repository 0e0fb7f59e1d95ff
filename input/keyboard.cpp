#include "input/keyboard.h"

#include <algorithm>

#include "game/reveal.h"
#include "input/mouse.h"

namespace porteka {
namespace {

// Flags become marks too, and the bombs counter stays lowered for them: the way
// back from a mark does not raise it either.
void InvertMarks(Board& board, const Settings& settings, Outside& outside) {
  bool marked = false;
  for (int y = 0; y < settings.BoardHeight; ++y) {
    for (int x = 0; x < settings.BoardWidth; ++x) {
      Cover& state = board.State(x, y);
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
  for (int i = 0; i < 8; ++i) outside.PlaySound(SoundCue::Mark);
}

void ToggleMark(Board& board, const Pointer& pointer, Outside& outside) {
  const int cx = pointer.CellX();
  const int cy = pointer.CellY();
  const Cover state = board.StateAt(cx, cy);
  if (state == Cover::Open) return;  // also every cell past the arrays
  if (state == Cover::KeyboardMark) {
    board.State(cx, cy) = Cover::Covered;
  } else {
    board.State(cx, cy) = Cover::KeyboardMark;
    outside.PlaySound(SoundCue::Mark);
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
void MoveSelection(Pointer& pointer, FrameLoop& loop, const Settings& settings, int dx, int dy) {
  const int width = settings.BoardWidth;
  const int height = settings.BoardHeight;
  if (width < 1 || height < 1) return;
  int cx = pointer.CellX();
  int cy = pointer.CellY();
  if (settings.OnBoard(cx, cy)) {
    cx += dx;
    cy += dy;
  }
  cx = std::clamp(cx, 0, width - 1);
  cy = std::clamp(cy, 0, height - 1);
  pointer.PointerX = static_cast<int16_t>(kCellSize * cx + (pointer.PointerX & (kCellSize - 1)));
  pointer.PointerY = static_cast<int16_t>(kCellSize * cy + (pointer.PointerY & (kCellSize - 1)));
  loop.RestartBlink();
}

}  // namespace

void Form_KeyDown(Game& game, int16_t keyCode, int16_t shift) {
  switch (keyCode) {
    case kKeyA:
      if (shift == kCtrlKey) {
        InvertMarks(game.board, game.gro, *game.outside);
      } else {
        ToggleMark(game.board, game.pointer, *game.outside);
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
      MoveSelection(game.pointer, game.loop, game.gro, -1, 0);
      break;
    case kKeyUp:
      MoveSelection(game.pointer, game.loop, game.gro, 0, -1);
      break;
    case kKeyRight:
      MoveSelection(game.pointer, game.loop, game.gro, 1, 0);
      break;
    case kKeyDown:
      MoveSelection(game.pointer, game.loop, game.gro, 0, 1);
      break;
    default:
      break;
  }
}

}  // namespace porteka
