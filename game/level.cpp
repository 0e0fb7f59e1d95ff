#include "game/level.h"

#include <cmath>

namespace porteka {
namespace {

constexpr LevelSize kLevels[3] = {{10, 8, 8}, {40, 16, 16}, {99, 30, 16}};

constexpr int kTopBand = 25;      // counters, face button and the red line
constexpr int kNarrowSpan = 256;  // a side of fewer than 16 cells is centred in this
constexpr int kCounterWidth = 257;
constexpr int kFaceWidth = 24;

// Halves go to the even neighbour, as the window system turned its
// fractional positions into pixels.
int16_t ToPixel(double v) { return static_cast<int16_t>(std::nearbyint(v)); }

}  // namespace

LevelSize SizeOfLevel(Level level, const Settings& current) {
  if (IsFixedLevel(level)) return kLevels[static_cast<int>(level)];
  return {current.BombCount, current.BoardWidth, current.BoardHeight};
}

Layout ComputeLayout(int16_t boardWidth, int16_t boardHeight) {
  Layout l;
  l.boardWidth = static_cast<int16_t>(kCellSize * boardWidth);
  l.boardHeight = static_cast<int16_t>(kCellSize * boardHeight);

  if (boardWidth < 16) {
    l.boardLeft = static_cast<int16_t>(8 * (16 - boardWidth));
    l.interiorWidth = kNarrowSpan;
  } else {
    l.boardLeft = 0;
    l.interiorWidth = l.boardWidth;
  }

  if (boardHeight < 16) {
    l.boardTop = static_cast<int16_t>(kTopBand + 8 * (16 - boardHeight));
    // The short window keeps 6 spare pixels below the board: its outer height
    // was a fixed figure 6 pixels above that of a 16-row window.
    l.interiorHeight = kTopBand + kNarrowSpan + 6;
  } else {
    l.boardTop = kTopBand;
    l.interiorHeight = static_cast<int16_t>(kTopBand + l.boardHeight);
  }

  l.counterLeft = ToPixel(l.interiorWidth / 2.0 - kCounterWidth / 2.0);
  l.faceLeft = ToPixel(l.interiorWidth / 2.0 - kFaceWidth / 2.0);
  return l;
}

void ApplyLevel(Game& game, Level level) {
  const LevelSize size = SizeOfLevel(level, game.gro);
  game.gro.BombCount = size.bombs;
  game.gro.BoardWidth = size.width;
  game.gro.BoardHeight = size.height;
  game.layout = ComputeLayout(game.gro.BoardWidth, game.gro.BoardHeight);
  game.outside->LayOutWindow();
}

}  // namespace porteka
