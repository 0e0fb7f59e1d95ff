#include "render/board_painter.h"

#include "render/effects.h"

namespace porteka {

BoardPainter::BoardPainter(const SpriteSheets& sheets)
    : cells_(sheets.cells),
      openFlash_(sheets.openFlash, kOpenSpriteSize, kOpenFrames),
      explosion_(sheets.explosion, kExplosionSpriteSize, kExplosionFrames),
      board_(256, 256, kBoardBackground) {}

void BoardPainter::Resize(int width, int height) {
  if (width == board_.width && height == board_.height) return;
  board_ = Surface(width, height, kBoardBackground);
}

void BoardPainter::DrawBoard(const Game& game) {
  for (int y = 0; y < game.gro.BoardHeight; ++y) {
    for (int x = 0; x < game.gro.BoardWidth; ++x) {
      const int i = x + kArraySide * y;
      const uint8_t state = game.CellState[i];
      // A cover is as opaque as the content under it, so a covered cell needs
      // only the one copy.
      const int k = state != kOpen ? state - 1 : game.CellValue[i] + 4;
      CopyRect(board_, kCellSize * x, kCellSize * y, kCellSize, kCellSize, cells_, kCellSize * k, 0);
    }
  }
}

void BoardPainter::DrawEffect(EffectKind kind, uint8_t phase, int16_t x, int16_t y) {
  const SpriteStrip& strip = kind == EffectKind::Open ? openFlash_ : explosion_;
  strip.OrFrame(board_, phase, x, y);
}

void BoardPainter::DrawMarker(int16_t gx, int16_t gy) {
  FrameRect(board_, gx, gy, gx + kCellSize - 1, gy + kCellSize - 1, kMarkerColour);
}

}  // namespace porteka
