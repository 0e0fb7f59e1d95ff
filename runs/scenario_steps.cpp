#include "runs/scenario_steps.h"

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "game/game_flow.h"
#include "game/level.h"
#include "game/new_board.h"
#include "input/keyboard.h"
#include "input/mouse.h"
#include "render/frame.h"

namespace porteka::replay {
namespace {

std::string Cell(int x, int y) { return "[" + std::to_string(x) + "," + std::to_string(y) + "]"; }

std::string Number(float v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(v));
  return buffer;
}

// The size and bombs a level will have once applied, asked of the rules.
Settings SettingsForLevel(const Game& game, Level level) {
  const LevelSize size = SizeOfLevel(level, game.gro);
  Settings settings = game.gro;
  settings.BombCount = size.bombs;
  settings.BoardWidth = size.width;
  settings.BoardHeight = size.height;
  return settings;
}

// The custom dialog's bars allow no other values.
void CheckCustomSize(int width, int height, size_t bombs) {
  const int most = MaxCustomBombs(static_cast<int16_t>(width), static_cast<int16_t>(height));
  if (width < kMinBoardSide || width > kMaxBoardSide || height < kMinBoardSide || height > kMaxBoardSide) {
    throw ScenarioError("a custom board is " + std::to_string(kMinBoardSide) + " to " + std::to_string(kMaxBoardSide) +
                        " cells a side, not " + std::to_string(width) + " x " +
                        std::to_string(height));
  }
  if (bombs < static_cast<size_t>(kMinBombs) || bombs > static_cast<size_t>(most)) {
    throw ScenarioError("a custom " + std::to_string(width) + " x " + std::to_string(height) + " board takes " + std::to_string(kMinBombs) + " to " +
                        std::to_string(most) + " bombs, not " + std::to_string(bombs));
  }
}

void CheckFixedSize(const Settings& level, const DealSpec& deal) {
  const auto mismatch = [&](const char* name, int16_t given, int16_t real) {
    if (given != real) {
      throw ScenarioError("level " + std::to_string(static_cast<int>(*deal.level)) + " has " + name + " " +
                          std::to_string(real) + ", not " + std::to_string(given));
    }
  };
  if (deal.width) mismatch("width", *deal.width, level.BoardWidth);
  if (deal.height) mismatch("height", *deal.height, level.BoardHeight);
  if (deal.bombCount) mismatch("bomb_count", *deal.bombCount, level.BombCount);
}

void CheckBombs(const std::vector<BombCell>& bombs, int width, int height, int count) {
  std::array<bool, kArraySide * kArraySide> seen{};
  for (const auto& [x, y] : bombs) {
    if (x >= width || y >= height) {
      throw ScenarioError("bomb " + Cell(x, y) + " is off the " + std::to_string(width) + " x " +
                          std::to_string(height) + " board");
    }
    if (seen[x + kArraySide * y]) throw ScenarioError("bomb " + Cell(x, y) + " is given twice");
    seen[x + kArraySide * y] = true;
  }
  if (bombs.size() != static_cast<size_t>(count)) {
    throw ScenarioError("the board takes " + std::to_string(count) + " bombs, not " + std::to_string(bombs.size()));
  }
}

// A board dealt at random, as the menu deals it.
void DealAtRandom(Game& game, const DealSpec& deal) {
  if (!deal.level) {
    StartGame(game);
  } else if (*deal.level == Level::Custom) {
    // All three values: the dialog was confirmed; none: it was closed by its close box.
    if (deal.width) {
      CheckCustomSize(*deal.width, *deal.height, static_cast<size_t>(*deal.bombCount));
      SetCustomBoard(game, *deal.width, *deal.height, *deal.bombCount);
    }
    StartCustomGame(game);
  } else {
    CheckFixedSize(SettingsForLevel(game, *deal.level), deal);
    StartLevel(game, *deal.level);
  }
}

// A board laid by hand: the same path with the bombs handed in instead of drawn.
void DealByHand(Game& game, const DealSpec& deal) {
  const std::vector<BombCell>& bombs = *deal.bombs;
  int width, height, count;
  if (deal.level == Level::Custom) {
    width = deal.width.value_or(game.gro.BoardWidth);
    height = deal.height.value_or(game.gro.BoardHeight);
    const size_t wanted = deal.bombCount ? static_cast<size_t>(*deal.bombCount) : bombs.size();
    CheckCustomSize(width, height, wanted);
    count = static_cast<int>(wanted);
  } else {
    const Settings level = SettingsForLevel(game, deal.level.value_or(game.gro.GameLevel));
    if (deal.level) CheckFixedSize(level, deal);
    width = level.BoardWidth;
    height = level.BoardHeight;
    count = level.BombCount;
  }
  CheckBombs(bombs, width, height, count);

  const BombLayout layout(bombs.data(), bombs.size());
  if (deal.level == Level::Custom) {
    SetCustomBoard(game, static_cast<int16_t>(width), static_cast<int16_t>(height), static_cast<int16_t>(count));
    StartCustomGame(game, layout);
  } else if (deal.level) {
    StartLevel(game, *deal.level, layout);
  } else {
    StartGame(game, layout);
  }
}

// A press is always reported inside the surface.
void CheckOnSurface(const Game& game, float x, float y) {
  const Layout& l = game.layout;
  if (!(x >= 0 && x < l.boardWidth && y >= 0 && y < l.boardHeight)) {
    throw ScenarioError("a press at (" + Number(x) + ", " + Number(y) + ") is off the " +
                        std::to_string(l.boardWidth) + " x " + std::to_string(l.boardHeight) + " surface");
  }
}

}  // namespace

void Deal(Game& game, const DealSpec& deal) {
  if (deal.bombs) {
    DealByHand(game, deal);
  } else {
    DealAtRandom(game, deal);
  }
}

void PlayEvent(Game& game, Canvas& canvas, const Event& event) {
  switch (event.kind) {
    case EventKind::MouseDown:
      CheckOnSurface(game, event.x, event.y);
      Picture1_MouseDown(game.pointer, event.x, event.y);
      break;
    case EventKind::MouseMove:
      Picture1_MouseMove(game, event.button, event.x, event.y);
      break;
    case EventKind::DblClick:
      Picture1_DblClick(game);
      break;
    case EventKind::Key:
      Form_KeyDown(game, event.keyCode, event.shift);
      break;
    case EventKind::Frame:
    case EventKind::Frames:
      for (uint32_t k = 0; k < event.count; ++k) RunFrame(game, canvas);
      break;
    case EventKind::Poll:
      LoopTurn(game, canvas, event.now);
      break;
    case EventKind::StartGame:
      StartGame(game);
      break;
    case EventKind::SetLevel:
    case EventKind::Layout:
      Deal(game, event.deal);
      break;
  }
}

ScriptedRandom ChanceOf(const RandomSpec& spec) {
  if (spec.seed) return ScriptedRandom::Seeded(*spec.seed);
  return ScriptedRandom(spec.values.value_or(std::vector<float>{}));
}


void DealFirst(Game& game, const Scenario& scenario) {
  if (!scenario.first.level) return;
  try {
    Checked(scenario.random, [&] { Deal(game, scenario.first); });
  } catch (const ScenarioError& e) {
    throw ScenarioError(std::string("the first deal: ") + e.what());
  }
}

void PlayEventOf(Game& game, Canvas& canvas, const Scenario& scenario, size_t i) {
  const Event& event = scenario.events[i];
  try {
    Checked(scenario.random, [&] { PlayEvent(game, canvas, event); });
  } catch (const ScenarioError& e) {
    throw ScenarioError("event " + std::to_string(i + 1) + " (" + event.name + "): " + e.what());
  }
}

}  // namespace porteka::replay
