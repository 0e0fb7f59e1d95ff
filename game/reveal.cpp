#include "game/reveal.h"

#include <cmath>

#include "game/level.h"
#include "game/neighbours.h"
#include "game/effects.h"

namespace porteka {
namespace {

void UncoverOrBlast(Game& game, RevealMode mode, int16_t x, int16_t y) {
  Cover& state = game.board.State(x, y);
  uint8_t& value = game.board.Value(x, y);
  const bool blast = mode == RevealMode::InnerBlast || mode == RevealMode::OuterBlast;
  const uint8_t rubble = mode == RevealMode::InnerBlast ? kInnerRubble : kOuterRubble;

  if (state == Cover::Covered || state == Cover::SecondMark) {
    OpenCell(game, x, y);
    if (value == kBomb) {
      SpawnExplosion(game.effects, game.board, *game.outside, x, y);
    } else if (blast && value != kInnerRubble) {
      value = rubble;  // the neighbour count is lost under the rubble
    }
    state = Cover::Open;  // a bomb is uncovered here too; OpenCell leaves bombs alone
  } else if (blast && value != kBomb && value != kInnerRubble) {
    // Open, flagged or marked: scorched all the same, and a flagged bomb is safe.
    value = rubble;
  }
}

// Covered, flag, second mark and round again; a keyboard mark goes back to
// covered. The bombs counter follows the flags.
void CycleMark(Board& board, int16_t x, int16_t y) {
  Cover& state = board.State(x, y);
  switch (state) {
    case Cover::Open:
      return;
    case Cover::Covered:
      state = Cover::Flag;
      --board.BombsLeft;
      return;
    case Cover::Flag:
      state = Cover::SecondMark;
      ++board.BombsLeft;
      return;
    case Cover::SecondMark:
    case Cover::KeyboardMark:
      state = Cover::Covered;
      return;
  }
}

void UncoverBlock(Game& game, int16_t x, int16_t y) {
  for (const auto [dx, dy] : kBlock) {
    const int nx = x + dx;
    const int ny = y + dy;
    if (game.gro.OnBoard(nx, ny) && game.board.State(nx, ny) == Cover::Covered) {
      RevealAtCell(game, RevealMode::Uncover, nx, ny);
    }
  }
}

void WinTest(Game& game) {
  if (game.board.CoveredCount != game.gro.BombCount || game.board.GameState != GamePhase::Running) return;
  game.outside->DrawFace(Face::Won);
  game.board.GameState = GamePhase::Over;
  // Counted before the records check, whose dialog the program may end under.
  game.outside->NoteGame(GameMoment::Won);
  if (IsFixedLevel(game.gro.GameLevel)) game.outside->OfferRecord();
}

}  // namespace

void RevealCell(Game& game, RevealMode mode, float X, float Y) {
  // Any call starts the clock of a fresh board, even off the board or with no button.
  if (game.board.GameState == GamePhase::Waiting) {
    game.board.GameState = GamePhase::Running;
    game.outside->NoteGame(GameMoment::Started);
  }

  if (!(X >= 0 && X < game.layout.boardWidth && Y >= 0 && Y < game.layout.boardHeight)) return;

  const auto x = static_cast<int16_t>(std::floor(X / kCellSize));
  const auto y = static_cast<int16_t>(std::floor(Y / kCellSize));
  // The surface matches the board, but a cell past the arrays must never be touched.
  if (Board::InArrays(x, y)) {
    switch (mode) {
      case RevealMode::Uncover:
      case RevealMode::InnerBlast:
      case RevealMode::OuterBlast:
        UncoverOrBlast(game, mode, x, y);
        break;
      case RevealMode::CycleMark:
        CycleMark(game.board, x, y);
        break;
      case RevealMode::UncoverBlock:
        UncoverBlock(game, x, y);
        break;
      default:
        break;
    }
  }
  WinTest(game);
}

void RevealAtCell(Game& game, RevealMode mode, int x, int y) {
  RevealCell(game, mode, static_cast<float>(kCellSize * x), static_cast<float>(kCellSize * y));
}

void OpenCell(Game& game, int16_t x, int16_t y) {
  if (game.board.Value(x, y) == kBomb) return;
  game.board.State(x, y) = Cover::Open;
  --game.board.CoveredCount;
  SpawnOpenEffect(game.effects, *game.outside, x, y);
}

}  // namespace porteka
