#include "game/reveal.h"

#include <cmath>

#include "game/level.h"
#include "render/effects.h"

namespace porteka {
namespace {

void UncoverOrBlast(Game& game, int16_t mode, int16_t x, int16_t y) {
  uint8_t& state = game.State(x, y);
  uint8_t& value = game.Value(x, y);
  const bool blast = mode == kInnerBlast || mode == kOuterBlast;
  const auto rubble = static_cast<uint8_t>(mode + 2);

  if (state == kCovered || state == kSecondMark) {
    OpenCell(game, x, y);
    if (value == kBomb) {
      SpawnExplosion(game, x, y);
    } else if (blast && value != kInnerRubble) {
      value = rubble;  // the neighbour count is lost under the rubble
    }
    state = kOpen;  // a bomb is uncovered here too; OpenCell leaves bombs alone
  } else if (blast && value != kBomb && value != kInnerRubble) {
    // Open, flagged or marked: scorched all the same, and a flagged bomb is safe.
    value = rubble;
  }
}

void CycleMark(Game& game, int16_t x, int16_t y) {
  uint8_t& state = game.State(x, y);
  if (state == kOpen) return;
  if (state == kFlag) ++game.BombsLeft;
  ++state;
  if (state == kFlag) --game.BombsLeft;
  if (state >= kKeyboardMark) state = kCovered;
}

void UncoverBlock(Game& game, int16_t x, int16_t y) {
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      const int nx = x + dx;
      const int ny = y + dy;
      if (game.OnBoard(nx, ny) && game.State(nx, ny) == kCovered) {
        const float px = static_cast<float>(kCellSize * nx);
        const float py = static_cast<float>(kCellSize * ny);
        RevealCell(game, kUncover, px, py);
      }
    }
  }
}

void WinTest(Game& game) {
  if (game.CoveredCount != game.gro.BombCount || game.GameState != 0) return;
  game.outside->DrawFace(kWonFace);
  game.GameState = 1;
  if (IsFixedLevel(game.gro.GameLevel)) game.outside->CheckRecord();
}

}  // namespace

void RevealCell(Game& game, const int16_t& mode, const float& X, const float& Y) {
  // Any call starts the clock of a fresh board, even off the board or with no button.
  if (game.GameState < 0) game.GameState = 0;

  if (!(X >= 0 && X < game.layout.boardWidth && Y >= 0 && Y < game.layout.boardHeight)) return;

  const auto x = static_cast<int16_t>(std::floor(X / kCellSize));
  const auto y = static_cast<int16_t>(std::floor(Y / kCellSize));
  // The surface matches the board, but a cell past the arrays must never be touched.
  if (Game::InArrays(x, y)) {
    switch (mode) {
      case kUncover:
      case kInnerBlast:
      case kOuterBlast:
        UncoverOrBlast(game, mode, x, y);
        break;
      case kCycleMark:
        CycleMark(game, x, y);
        break;
      case kUncoverBlock:
        UncoverBlock(game, x, y);
        break;
      default:
        break;
    }
  }
  WinTest(game);
}

void OpenCell(Game& game, const int16_t& x, const int16_t& y) {
  if (game.Value(x, y) == kBomb) return;
  game.State(x, y) = kOpen;
  --game.CoveredCount;
  SpawnOpenEffect(game, x, y);
}

}  // namespace porteka
