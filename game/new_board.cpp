#include "game/new_board.h"

#include <algorithm>
#include <cmath>

#include "game/level.h"
#include "game/neighbours.h"
#include "render/counters.h"

namespace porteka {
namespace {

// The effects of the previous board go too: a flash or a blast still due
// would otherwise open cells of the new board, set off its bombs or start its
// clock before the player has made a move.
void Clear(Game& game) {
  game.board.CellValue.fill(0);
  game.board.CellState.fill(Cover::Open);
  game.effects.OpenEffects.fill({});
  game.effects.Explosions.fill({});
}

// Column first, then row, one pair at a time; a pair that lands on a bomb is
// simply drawn again, so the number of draws varies from board to board.
void PlaceRandomBombs(Game& game) {
  const int16_t width = game.gro.BoardWidth;
  const int16_t height = game.gro.BoardHeight;
  int placed = 0;
  do {
    // The product is taken exactly, not rounded to single precision first.
    const int x = static_cast<int>(std::floor(static_cast<double>(game.random->Next()) * width));
    const int y = static_cast<int>(std::floor(static_cast<double>(game.random->Next()) * height));
    uint8_t& cell = game.board.Value(x, y);
    if (cell != kBomb) {
      cell = kBomb;
      ++placed;
    }
  } while (placed < game.gro.BombCount);
}

void PlaceGivenBombs(Game& game, BombLayout bombs) {
  for (const auto& [x, y] : bombs) {
    if (game.gro.OnBoard(x, y)) game.board.Value(x, y) = kBomb;
  }
}

void CountAndCover(Game& game) {
  game.board.CoveredCount = 0;
  for (int y = 0; y < game.gro.BoardHeight; ++y) {
    for (int x = 0; x < game.gro.BoardWidth; ++x) {
      game.board.State(x, y) = Cover::Covered;
      ++game.board.CoveredCount;
      uint8_t& value = game.board.Value(x, y);
      if (value != 0) continue;  // a bomb keeps its 9
      for (const auto [dx, dy] : kNeighbours) {
        if (game.gro.OnBoard(x + dx, y + dy) && game.board.Value(x + dx, y + dy) == kBomb) ++value;
      }
    }
  }
  game.board.GameState = GamePhase::Waiting;
  game.gro.ElapsedTime = 0;
  game.board.BombsLeft = game.gro.BombCount;
  DrawCounters(game);
}

}  // namespace

void NewBoard(Game& game) {
  Clear(game);
  PlaceRandomBombs(game);
  CountAndCover(game);
}

void NewBoard(Game& game, BombLayout bombs) {
  Clear(game);
  PlaceGivenBombs(game, bombs);
  CountAndCover(game);
}

void StartGame(Game& game) {
  game.outside->NoteGame(GameMoment::BoardDealt);
  ApplyLevel(game, game.gro.GameLevel);
  game.outside->DrawFace(Face::Normal);
  NewBoard(game);
}

void StartGame(Game& game, BombLayout bombs) {
  game.outside->NoteGame(GameMoment::BoardDealt);
  ApplyLevel(game, game.gro.GameLevel);
  game.outside->DrawFace(Face::Normal);
  NewBoard(game, bombs);
}

}  // namespace porteka
