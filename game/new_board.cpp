#include "game/new_board.h"

#include <algorithm>
#include <cmath>

#include "game/level.h"
#include "game/neighbours.h"
#include "game/counters.h"

namespace porteka {
namespace {

// The effects of the previous board go too: a flash or a blast still due
// would otherwise open cells of the new board, set off its bombs or start its
// clock before the player has made a move.
void Clear(Board& board, EffectPools& effects) {
  board.CellValue.fill(0);
  board.CellState.fill(Cover::Open);
  effects.Clear();
}

// Column first, then row, one pair at a time; a pair that lands on a bomb is
// simply drawn again, so the number of draws varies from board to board.
void PlaceRandomBombs(Board& board, const Settings& settings, RandomSource& random) {
  const int16_t width = settings.BoardWidth;
  const int16_t height = settings.BoardHeight;
  int placed = 0;
  do {
    // The product is taken exactly, not rounded to single precision first.
    const int x = static_cast<int>(std::floor(static_cast<double>(random.Next()) * width));
    const int y = static_cast<int>(std::floor(static_cast<double>(random.Next()) * height));
    uint8_t& cell = board.Value(x, y);
    if (cell != kBomb) {
      cell = kBomb;
      ++placed;
    }
  } while (placed < settings.BombCount);
}

void PlaceGivenBombs(Board& board, const Settings& settings, BombLayout bombs) {
  for (const auto& [x, y] : bombs) {
    if (settings.OnBoard(x, y)) board.Value(x, y) = kBomb;
  }
}

// Covers every cell of the board and counts each safe cell's bombs around it.
void CountAndCover(Board& board, const Settings& settings) {
  board.CoveredCount = 0;
  for (int y = 0; y < settings.BoardHeight; ++y) {
    for (int x = 0; x < settings.BoardWidth; ++x) {
      board.State(x, y) = Cover::Covered;
      ++board.CoveredCount;
      uint8_t& value = board.Value(x, y);
      if (value != 0) continue;  // a bomb keeps its 9
      for (const auto [dx, dy] : kNeighbours) {
        if (settings.OnBoard(x + dx, y + dy) && board.Value(x + dx, y + dy) == kBomb) ++value;
      }
    }
  }
}

// The new board waits for its first move: the clock at nought, every bomb
// still to find, both shown.
void ReadyToPlay(Board& board, Settings& settings, Outside& outside) {
  board.GameState = GamePhase::Waiting;
  settings.ElapsedTime = 0;
  board.BombsLeft = settings.BombCount;
  UpdateCounters(settings, board, outside);
}

void Deal(Game& game, BombLayout* bombs) {
  Clear(game.board, game.effects);
  if (bombs) {
    PlaceGivenBombs(game.board, game.gro, *bombs);
  } else {
    PlaceRandomBombs(game.board, game.gro, *game.random);
  }
  CountAndCover(game.board, game.gro);
  ReadyToPlay(game.board, game.gro, *game.outside);
}

// What every new game does before its deal: the running game ends (for the
// statistics), the window fits the level, the face is at rest.
void LayOutForANewGame(Game& game) {
  game.outside->NoteGame(GameMoment::BoardDealt);
  ApplyLevel(game, game.gro.GameLevel);
  game.outside->DrawFace(Face::Normal);
}

}  // namespace

void NewBoard(Game& game) { Deal(game, nullptr); }

void NewBoard(Game& game, BombLayout bombs) { Deal(game, &bombs); }

void StartGame(Game& game) {
  LayOutForANewGame(game);
  NewBoard(game);
}

void StartGame(Game& game, BombLayout bombs) {
  LayOutForANewGame(game);
  NewBoard(game, bombs);
}

}  // namespace porteka
