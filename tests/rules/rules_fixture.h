#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "game/game.h"
#include "game/game_flow.h"
#include "game/level.h"
#include "game/new_board.h"
#include "game/random.h"
#include "game/reveal.h"
#include "input/keyboard.h"
#include "input/mouse.h"
#include "game/counters.h"
#include "game/effects.h"
#include "render/frame.h"

namespace porteka::test {

// Writes down every call the rules make of the world and every drawing call of
// a frame, one short line each, in order, with GameState as it stood then.
class RecordingOutside final : public Outside, public Canvas {
 public:
  const Game* game = nullptr;
  std::vector<std::string> calls;
  std::vector<int16_t> gameStateAtCall;

  void PlaySound(SoundCue cue) override { Note("sound", static_cast<int>(cue)); }
  void DrawFace(Face face) override { Note("face", static_cast<int>(face)); }
  void OfferRecord() override { Note("record"); }
  void LayOutWindow() override { Note("layout"); }
  void DrawCounters(std::string_view time, std::string_view bombs) override {
    Note("counters " + std::string(time) + "|" + std::string(bombs));
  }
  void DrawBoard(const Settings&, const Board&) override { Note("board"); }
  void DrawEffect(EffectKind kind, uint8_t phase, int16_t x, int16_t y) override {
    Note(kind == EffectKind::Open ? "open" : "explosion", phase, x, y);
  }
  void DrawMarker(int16_t gx, int16_t gy) override { Note("marker", gx, gy); }
  void PresentBoard() override { Note("present"); }

  int Count(std::string_view call) const { return static_cast<int>(std::count(calls.begin(), calls.end(), call)); }
  // The calls so far, forgetting them.
  std::vector<std::string> Take() {
    gameStateAtCall.clear();
    return std::exchange(calls, {});
  }
  void Clear() { Take(); }

 private:
  template <typename... Numbers>
  void Note(std::string call, Numbers... numbers) {
    ((call += " " + std::to_string(numbers)), ...);
    calls.push_back(std::move(call));
    gameStateAtCall.push_back(game != nullptr ? static_cast<int16_t>(game->board.GameState) : int16_t{99});
  }
};

using Rows = std::vector<std::string>;
using S = std::vector<std::string>;

// Counts:   * 1 . .
//           1 1 . .
//           . . 1 1
//           . . 1 *
inline const Rows kSmall = {"*...", "....", "....", "...*"};

// A game at start-up with a recorder, plus helpers to deal boards by hand:
// a picture of rows, '*' for a bomb, anything else safe.
class RulesTest : public ::testing::Test {
 protected:
  PortableRandom random{20240601};
  RecordingOutside outside;
  Game game{random, outside};

  RulesTest() {
    outside.game = &game;
    LoadGame(game);
    outside.Clear();
  }

  // A board dealt by hand. A custom board takes the picture's size and bombs;
  // a fixed level's picture must fit the level's table.
  void DealLevel(Level level, const Rows& rows) {
    std::vector<std::pair<int16_t, int16_t>> bombs;
    for (size_t y = 0; y < rows.size(); ++y)
      for (size_t x = 0; x < rows[y].size(); ++x)
        if (rows[y][x] == '*') bombs.emplace_back(static_cast<int16_t>(x), static_cast<int16_t>(y));
    SetCustomBoard(game, static_cast<int16_t>(rows[0].size()), static_cast<int16_t>(rows.size()),
                   static_cast<int16_t>(bombs.size()));
    game.gro.GameLevel = level;
    StartGame(game, bombs);
    ASSERT_EQ(game.gro.BombCount, std::ssize(bombs));
    outside.Clear();
  }
  void DealCustom(const Rows& rows) { DealLevel(Level::Custom, rows); }

  uint8_t& Value(int x, int y) { return game.board.Value(x, y); }
  Cover& State(int x, int y) { return game.board.State(x, y); }

  // A move at the middle of a cell.
  void Move(RevealMode mode, int x, int y) { RevealCell(game, mode, 16.0f * x + 8, 16.0f * y + 8); }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) RunFrame(game, outside);
  }

  // The board as the player sees it: '#' covered, 'F' flag, '?' second mark,
  // 'K' keyboard mark; open cells show '.' for empty, the digit, '*' for a
  // bomb, 'x' and '+' for inner and outer rubble.
  Rows Picture() {
    Rows rows(static_cast<size_t>(game.gro.BoardHeight), std::string(static_cast<size_t>(game.gro.BoardWidth), ' '));
    for (int y = 0; y < game.gro.BoardHeight; ++y)
      for (int x = 0; x < game.gro.BoardWidth; ++x) {
        const int state = static_cast<int>(State(x, y)), value = Value(x, y);
        rows[y][x] = state != 0 ? "!#F?K!"[std::min(state, 5)] : ".12345678*x+!"[std::min(value, 12)];
      }
    return rows;
  }
};

// What the recorder notes for a flash drawn over a cell.
inline std::string OpenAt(int phase, int x, int y) {
  return "open " + std::to_string(phase) + " " + std::to_string(16 * x - 16) + " " + std::to_string(16 * y - 16);
}

}  // namespace porteka::test
