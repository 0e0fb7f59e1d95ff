#pragma once

#include <cstdint>

namespace porteka {

struct Game;

enum class EffectKind : uint8_t { Open, Explosion };

// What a frame draws the board on. The board painter draws for real; tests and
// the replay tool record the calls.
class Canvas {
 public:
  virtual ~Canvas() = default;

  // One frame's drawing, always in this order: the board, the live effects,
  // the marker on every other frame, then one present.
  virtual void DrawBoard(const Settings& settings, const Board& board) = 0;
  virtual void DrawEffect(EffectKind kind, uint8_t phase, int16_t x, int16_t y) = 0;
  virtual void DrawMarker(int16_t gx, int16_t gy) = 0;
  virtual void PresentBoard() = 0;
};

// A canvas that keeps nothing: for tools and benchmarks of the rules alone.
class BlankCanvas final : public Canvas {
 public:
  void DrawBoard(const Settings&, const Board&) override {}
  void DrawEffect(EffectKind, uint8_t, int16_t, int16_t) override {}
  void DrawMarker(int16_t, int16_t) override {}
  void PresentBoard() override {}
};

}  // namespace porteka
