#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "game/game.h"
#include "game/canvas.h"
#include "render/sprite_strip.h"
#include "render/surface.h"

namespace porteka {

// The art the board is drawn from.
struct SpriteSheets {
  Surface cells;      // 16 cells of 16 x 16: covers 0-3, contents 4-15
  Surface openFlash;  // 10 frames of 48 x 48 on black
  Surface explosion;  // 20 frames of 120 x 120 on black
  Surface faces;      // 3 faces of 24 x 24
};

inline constexpr uint32_t kMarkerColour = Rgb(255, 0, 0);
inline constexpr uint32_t kBoardBackground = Rgb(128, 128, 128);

// Draws the board surface: cells by rectangle copies from the cell sheet,
// effects ORed on top, and the blinking marker: the canvas of every frame.
class BoardPainter final : public Canvas {
 public:
  explicit BoardPainter(const SpriteSheets& sheets);

  // The surface follows the board's size; a fresh one is grey until drawn.
  void Resize(int width, int height);
  void DrawBoard(const Settings& settings, const Board& board) override;
  void DrawEffect(EffectKind kind, uint8_t phase, int16_t x, int16_t y) override;
  void DrawMarker(int16_t gx, int16_t gy) override;
  // Shows the surface through the function handed to OnPresent; without one
  // the surface is only drawn.
  void PresentBoard() override;
  void OnPresent(std::function<void()> present) { present_ = std::move(present); }

  const Surface& board() const { return board_; }
  Surface& board() { return board_; }

 private:
  Surface cells_;
  SpriteStrip openFlash_;
  SpriteStrip explosion_;
  Surface board_;
  std::function<void()> present_;
};

}  // namespace porteka
