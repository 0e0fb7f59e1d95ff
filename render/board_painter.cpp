#include "render/board_painter.h"

#include <cstring>

#include "game/effects.h"

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

void BoardPainter::DrawBoard(const Settings& settings, const Board& board) {
  const int sheetCells = cells_.height >= kCellSize ? cells_.width / kCellSize : 0;
  for (int y = 0; y < settings.BoardHeight; ++y) {
    for (int x = 0; x < settings.BoardWidth; ++x) {
      const int i = x + kArraySide * y;
      const Cover state = board.CellState[i];
      // A cover is as opaque as the content under it, so a covered cell needs
      // only the one copy.
      const int k = state != Cover::Open ? static_cast<int>(state) - 1 : board.CellValue[i] + 4;
      const int left = kCellSize * x;
      const int top = kCellSize * y;
      if (k >= 0 && k < sheetCells && left + kCellSize <= board_.width && top + kCellSize <= board_.height) {
        // The usual case, a whole cell: rows of a fixed size copy fastest.
        for (int row = 0; row < kCellSize; ++row) {
          std::memcpy(board_.Row(top + row) + left, cells_.Row(row) + kCellSize * k, kCellSize * sizeof(uint32_t));
        }
      } else {
        CopyRect(board_, left, top, kCellSize, kCellSize, cells_, kCellSize * k, 0);
      }
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

void BoardPainter::PresentBoard() {
  if (present_) present_();
}

}  // namespace porteka
