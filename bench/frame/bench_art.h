#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "game/game.h"
#include "game/outside.h"
#include "render/board_painter.h"
#include "render/counters.h"

namespace porteka::bench {

// The committed art under assets/, read with QImage; nothing when a sheet is
// missing or has the wrong size.
std::optional<SpriteSheets> RealSheets();

// Stand-in art of about the same density: a filled disc that grows or shrinks
// from frame to frame with sparse sparks around it, on black.
SpriteSheets SyntheticSheets();

// Sheets by name: "real" or "synthetic".
std::optional<SpriteSheets> SheetsNamed(std::string_view name);

// The world of a real frame: the rules draw through a BoardPainter, and the
// counter texts are kept as the counter strip would receive them.
class PaintingOutside final : public Outside {
 public:
  explicit PaintingOutside(const SpriteSheets& sheets) : painter(sheets) {}

  BoardPainter painter;
  const Game* game = nullptr;
  std::string timeText;
  std::string bombsText;

  void PlaySound(SoundCue) override {}
  void DrawFace(Face) override {}
  void CheckRecord() override {}
  void LayOutWindow() override { painter.Resize(game->layout.boardWidth, game->layout.boardHeight); }
  void DrawCounters(std::string_view time, std::string_view bombs) override {
    timeText.assign(time);
    bombsText.assign(bombs);
  }
  void DrawBoard() override { painter.DrawBoard(*game); }
  void DrawEffect(EffectKind kind, uint8_t phase, int16_t x, int16_t y) override { painter.DrawEffect(kind, phase, x, y); }
  void DrawMarker(int16_t gx, int16_t gy) override { painter.DrawMarker(gx, gy); }
  void PresentBoard() override {}
};

}  // namespace porteka::bench
