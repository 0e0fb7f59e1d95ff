#include "game/game_flow.h"

#include <algorithm>

#include "game/level.h"
#include "game/new_board.h"

namespace porteka {

void LoadGame(Game& game) {
  game.board.CellValue.fill(0);
  game.board.CellState.fill(Cover::Open);
  game.gro.GameLevel = Level::Intermediate;
  ApplyLevel(game, game.gro.GameLevel);
  game.board.GameState = GamePhase::Over;
}

void StartLevel(Game& game, Level level) {
  game.gro.GameLevel = level;
  StartGame(game);
}

void StartLevel(Game& game, Level level, BombLayout bombs) {
  game.gro.GameLevel = level;
  StartGame(game, bombs);
}

void SetCustomBoard(Game& game, int16_t width, int16_t height, int16_t bombs) {
  width = std::clamp(width, kMinBoardSide, kMaxBoardSide);
  height = std::clamp(height, kMinBoardSide, kMaxBoardSide);
  game.gro.BoardWidth = width;
  game.gro.BoardHeight = height;
  game.gro.BombCount = std::clamp(bombs, kMinBombs, MaxCustomBombs(width, height));
}

void StartCustomGame(Game& game) {
  game.gro.GameLevel = Level::Custom;
  StartGame(game);
}

void StartCustomGame(Game& game, BombLayout bombs) {
  game.gro.GameLevel = Level::Custom;
  StartGame(game, bombs);
}

}  // namespace porteka
