#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <initializer_list>
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
#include "render/counters.h"
#include "render/effects.h"
#include "render/frame.h"

namespace porteka::test {

// Writes down every call the rules make of the world, one short line each, in
// order, with GameState as it stood at that moment.
class RecordingOutside final : public Outside {
 public:
  const Game* game = nullptr;
  std::vector<std::string> calls;
  std::vector<int16_t> gameStateAtCall;
  std::function<void()> onCheckRecord;

  void PlaySound(int cue) override { Note("sound " + std::to_string(cue)); }
  void DrawFace(uint8_t face) override { Note("face " + std::to_string(face)); }
  void CheckRecord() override {
    Note("record");
    if (onCheckRecord) onCheckRecord();
  }
  void LayOutWindow() override { Note("layout"); }
  void DrawCounters(std::string_view timeText, std::string_view bombsText) override {
    Note("counters " + std::string(timeText) + "|" + std::string(bombsText));
  }
  void DrawBoard() override { Note("board"); }
  void DrawEffect(EffectKind kind, uint8_t phase, int16_t x, int16_t y) override {
    Note(std::string(kind == EffectKind::Open ? "open " : "explosion ") + std::to_string(phase) + " " +
         std::to_string(x) + " " + std::to_string(y));
  }
  void DrawMarker(int16_t gx, int16_t gy) override {
    Note("marker " + std::to_string(gx) + " " + std::to_string(gy));
  }
  void PresentBoard() override { Note("present"); }

  int Count(std::string_view call) const {
    int n = 0;
    for (const std::string& c : calls) n += c == call ? 1 : 0;
    return n;
  }
  int CountPrefix(std::string_view prefix) const {
    int n = 0;
    for (const std::string& c : calls) n += c.starts_with(prefix) ? 1 : 0;
    return n;
  }
  // The calls so far, forgetting them.
  std::vector<std::string> Take() {
    gameStateAtCall.clear();
    return std::exchange(calls, {});
  }
  void Clear() { Take(); }

 private:
  void Note(std::string call) {
    calls.push_back(std::move(call));
    gameStateAtCall.push_back(game != nullptr ? game->GameState : int16_t{99});
  }
};

// Hands out the values it was given, then zeros, and counts the draws.
class ScriptedRandom final : public RandomSource {
 public:
  explicit ScriptedRandom(std::vector<float> values) : values_(std::move(values)) {}
  float Next() override {
    const float v = draws_ < values_.size() ? values_[draws_] : 0.0f;
    ++draws_;
    return v;
  }
  size_t draws() const { return draws_; }

 private:
  std::vector<float> values_;
  size_t draws_ = 0;
};

using Rows = std::vector<std::string>;

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

  static std::vector<std::pair<int16_t, int16_t>> BombsOf(const Rows& rows) {
    std::vector<std::pair<int16_t, int16_t>> bombs;
    for (size_t y = 0; y < rows.size(); ++y) {
      for (size_t x = 0; x < rows[y].size(); ++x) {
        if (rows[y][x] == '*') bombs.emplace_back(static_cast<int16_t>(x), static_cast<int16_t>(y));
      }
    }
    return bombs;
  }

  // A custom board of the picture's size whose bomb count is the bombs drawn.
  void DealCustom(const Rows& rows) {
    const auto bombs = BombsOf(rows);
    game.gro.GameLevel = kCustom;
    game.gro.BoardWidth = static_cast<int16_t>(rows[0].size());
    game.gro.BoardHeight = static_cast<int16_t>(rows.size());
    game.gro.BombCount = static_cast<int16_t>(bombs.size());
    StartGame(game, bombs);
    outside.Clear();
  }

  // A fixed level laid out by hand; the picture must fit the level's table.
  void DealLevel(int16_t level, const Rows& rows) {
    game.gro.GameLevel = level;
    const auto bombs = BombsOf(rows);
    StartGame(game, bombs);
    ASSERT_EQ(game.gro.BoardWidth, static_cast<int16_t>(rows[0].size()));
    ASSERT_EQ(game.gro.BoardHeight, static_cast<int16_t>(rows.size()));
    ASSERT_EQ(game.gro.BombCount, static_cast<int16_t>(bombs.size()));
    outside.Clear();
  }

  uint8_t& Value(int x, int y) { return game.Value(x, y); }
  uint8_t& State(int x, int y) { return game.State(x, y); }

  // A move at the middle of a cell.
  void Move(int16_t mode, int x, int y) {
    RevealCell(game, mode, static_cast<float>(16 * x + 8), static_cast<float>(16 * y + 8));
  }

  void Frames(int n) {
    for (int i = 0; i < n; ++i) RunFrame(game);
  }

  // The board as the player sees it: '#' covered, 'F' flag, '?' second mark,
  // 'K' keyboard mark; open cells show '.' for empty, the digit, '*' for a
  // bomb, 'x' and '+' for inner and outer rubble.
  Rows Picture() {
    Rows rows;
    for (int y = 0; y < game.gro.BoardHeight; ++y) {
      std::string row;
      for (int x = 0; x < game.gro.BoardWidth; ++x) {
        switch (State(x, y)) {
          case kCovered: row += '#'; break;
          case kFlag: row += 'F'; break;
          case kSecondMark: row += '?'; break;
          case kKeyboardMark: row += 'K'; break;
          case kOpen: {
            const uint8_t v = Value(x, y);
            row += v == 0 ? '.' : v <= 8 ? static_cast<char>('0' + v) : v == kBomb ? '*' : v == kInnerRubble ? 'x' : v == kOuterRubble ? '+' : '!';
            break;
          }
          default: row += '!';
        }
      }
      rows.push_back(row);
    }
    return rows;
  }

  int OpenSafeCells() {
    int n = 0;
    for (int y = 0; y < game.gro.BoardHeight; ++y)
      for (int x = 0; x < game.gro.BoardWidth; ++x) n += State(x, y) == kOpen && Value(x, y) != kBomb;
    return n;
  }
};

// Sprite positions of the two effects for a cell.
inline std::string OpenAt(int phase, int x, int y) {
  return "open " + std::to_string(phase) + " " + std::to_string(16 * x - 16) + " " + std::to_string(16 * y - 16);
}
inline std::string ExplosionAt(int phase, int x, int y) {
  return "explosion " + std::to_string(phase) + " " + std::to_string(16 * x - 52) + " " + std::to_string(16 * y - 52);
}

}  // namespace porteka::test
