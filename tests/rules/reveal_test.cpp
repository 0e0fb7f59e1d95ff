#include <array>
#include <limits>

#include "rules_fixture.h"

namespace porteka::test {
namespace {

class RevealTest : public RulesTest {
 protected:
  void SetUp() override { DealCustom(kSmall); }
  void OpenAllSafe() {
    for (int y = 0; y < game.gro.BoardHeight; ++y)
      for (int x = 0; x < game.gro.BoardWidth; ++x)
        if (Value(x, y) != kBomb) Move(kUncover, x, y);
  }
};

TEST_F(RevealTest, CallsThatAreNoMoveOnlyStartTheClock) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  // Moves off the surface: past the last pixel, not on it. The block around a
  // cell just past the edge would reach back onto the board.
  const std::pair<float, float> off[] = {{64, 8}, {8, 64}, {64, 64}, {-0.001f, 8}, {8, -16},
                                         {nan, 8}, {8, inf}, {100000, 8}, {-inf, -inf}};
  for (const int16_t mode : {kUncover, kCycleMark, kUncoverBlock, kInnerBlast, kOuterBlast}) {
    for (const auto& [x, y] : off) {
      DealCustom(kSmall);
      RevealCell(game, mode, x, y);
      EXPECT_EQ(game.GameState, 0);
      EXPECT_EQ(Picture(), Rows(4, "####")) << mode << " at " << x << "," << y;
      EXPECT_TRUE(outside.calls.empty());
    }
  }
  // Modes that are no move, on every cell, with open and marked cells about.
  Move(kCycleMark, 1, 1);
  Move(kUncover, 3, 0);
  outside.Clear();
  const Rows before = Picture();
  for (const int16_t mode : {0, 3, 5, 6, 7, 10, 16, -1, -8, 32767})
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) Move(mode, x, y);
  EXPECT_EQ(Picture(), before);
  EXPECT_EQ(game.BombsLeft, 1);
  EXPECT_TRUE(outside.calls.empty());
}

TEST_F(RevealTest, UncoverOpensOneCellAndGivesItAFlash) {
  RevealCell(game, kUncover, 31.999f, 0.0f);
  EXPECT_EQ(Picture(), (Rows{"#1##", "####", "####", "####"}));
  EXPECT_EQ(game.CoveredCount, 15);
  EXPECT_EQ(game.OpenEffects[0].Phase, 1);
  EXPECT_EQ(outside.Take(), S{"sound 0"});

  // An empty cell opens alone too: the wave is the flash's business. Open
  // cells stay as they are, with no second flash.
  RevealCell(game, kUncover, 32.0f, 0.0f);
  Move(kUncover, 1, 0);
  EXPECT_EQ(Picture()[0], "#1.#");
  EXPECT_EQ(game.CoveredCount, 14);
  EXPECT_EQ(game.OpenEffects[2].Phase, 0);
  EXPECT_EQ(outside.Take(), S{"sound 0"});

  // The block skips every mark; a single uncover only flags and keyboard marks.
  DealCustom(kSmall);
  State(1, 0) = kSecondMark;
  State(2, 0) = kFlag;
  State(3, 0) = kKeyboardMark;
  Move(kUncoverBlock, 2, 1);
  EXPECT_EQ(Picture(), (Rows{"#?FK", "#1..", "#.11", "####"}));
  for (int x = 1; x < 4; ++x) Move(kUncover, x, 0);
  EXPECT_EQ(Picture()[0], "#1FK");
}

TEST_F(RevealTest, UncoveringABombBlowsItUpAndEndsTheGame) {
  State(3, 3) = kSecondMark;
  RevealCell(game, kUncover, 63.99f, 63.99f);
  EXPECT_EQ(State(3, 3), kOpen);
  EXPECT_EQ(Value(3, 3), kBomb);
  EXPECT_EQ(game.CoveredCount, 16);  // a bomb is never counted off
  EXPECT_EQ(game.GameState, 1);
  EXPECT_EQ(game.Explosions[0].Phase, 1);
  // No flash for a bomb. The losing face comes before the game ends, the sound after.
  EXPECT_EQ(outside.calls, (S{"face 2", "sound 1"}));
  EXPECT_EQ(outside.gameStateAtCall, (std::vector<int16_t>{0, 1}));
}

TEST_F(RevealTest, TheRightButtonCyclesCoveredFlagSecondMarkOnEveryMoveEvent) {
  const std::pair<uint8_t, int16_t> steps[] = {
      {kFlag, 1}, {kSecondMark, 2}, {kCovered, 2}, {kFlag, 1}, {kSecondMark, 2}};
  float x = 40;
  for (const auto& [state, bombsLeft] : steps) {
    Picture1_MouseMove(game, kRightButton, 0, x++, 40.0f);  // all inside one cell
    EXPECT_EQ(State(2, 2), state);
    EXPECT_EQ(game.BombsLeft, bombsLeft);
  }
  State(1, 1) = kKeyboardMark;
  Move(kCycleMark, 1, 1);
  EXPECT_EQ(State(1, 1), kCovered);
  EXPECT_TRUE(outside.calls.empty());
}

TEST_F(RevealTest, TheBlockOpensRowByRowAndSetsOffABombWhateverTheFlags) {
  Move(kCycleMark, 1, 0);  // a flag next to the bomb protects nothing
  outside.Clear();
  Move(kUncoverBlock, 1, 1);
  EXPECT_EQ(Picture(), (Rows{"*F.#", "11.#", "..1#", "####"}));
  EXPECT_EQ(game.GameState, 1);
  // The bomb in the top left goes first; the flashes follow in row order.
  EXPECT_EQ(outside.calls.front(), "face 2");
  EXPECT_EQ(outside.Count("sound 0"), 7);
  EXPECT_EQ(game.OpenEffects[0].X, 16);

  // At a corner it stays on the board.
  DealCustom(kSmall);
  Move(kUncoverBlock, 0, 3);
  Move(kUncoverBlock, 3, 0);
  EXPECT_EQ(Picture(), (Rows{"##..", "##..", "..##", "..##"}));
}

TEST_F(RevealTest, BlastsLeaveRubbleInnerOverOuterAndSpareMarkedBombs) {
  Move(kUncover, 1, 1);
  Move(kUncover, 2, 1);
  State(0, 2) = kFlag;
  State(1, 2) = kKeyboardMark;
  State(0, 0) = kFlag;          // a bomb
  State(3, 3) = kKeyboardMark;  // a bomb
  outside.Clear();
  const std::tuple<int16_t, int, int> blasts[] = {
      {kInnerBlast, 1, 0}, {kOuterBlast, 3, 0},  // covered: opened, with a flash, as rubble
      {kInnerBlast, 1, 1}, {kOuterBlast, 2, 1},  // open: scorched
      {kOuterBlast, 1, 1}, {kInnerBlast, 3, 0},  // outer never downgrades inner; inner upgrades outer
      {kInnerBlast, 0, 2}, {kOuterBlast, 1, 2},  // marked: scorched under the cover
      {kInnerBlast, 0, 0}, {kOuterBlast, 3, 3},  // marked bombs are spared
  };
  for (const auto& [mode, x, y] : blasts) Move(mode, x, y);
  EXPECT_EQ(Picture(), (Rows{"Fx#x", "#x+#", "FK##", "###K"}));
  EXPECT_EQ((std::array{Value(0, 2), Value(1, 2), Value(0, 0), Value(3, 3)}),
            (std::array{kInnerRubble, kOuterRubble, kBomb, kBomb}));
  EXPECT_EQ(game.CoveredCount, 12);
  EXPECT_EQ(game.GameState, 0);
  EXPECT_EQ(outside.Take(), (S{"sound 0", "sound 0"}));

  // Uncovered later, a scorched cell keeps its inner rubble under an outer blast.
  State(0, 2) = kSecondMark;
  Move(kOuterBlast, 0, 2);
  EXPECT_EQ(State(0, 2), kOpen);
  EXPECT_EQ(Value(0, 2), kInnerRubble);

  // A second-marked bomb goes off under a blast; an exploded bomb stays a bomb.
  State(0, 0) = kSecondMark;
  Move(kOuterBlast, 0, 0);
  EXPECT_EQ(Value(0, 0), kBomb);
  EXPECT_EQ(game.Explosions[0].Phase, 1);
  Move(kInnerBlast, 0, 0);
  EXPECT_EQ(Value(0, 0), kBomb);
  EXPECT_EQ(game.Explosions[1].Phase, 0);
}

TEST_F(RevealTest, AWinShowsTheFaceEndsTheGameThenChecksRecordsOnFixedLevelsOnly) {
  OpenAllSafe();
  EXPECT_EQ(game.GameState, 1);
  EXPECT_EQ(outside.calls.back(), "face 1");
  EXPECT_EQ(outside.Count("face 1"), 1);
  EXPECT_EQ(outside.Count("record"), 0);

  // Still live after a win: a bomb goes off, marks still work, no second win.
  outside.Clear();
  Move(kUncover, 3, 3);
  Move(kCycleMark, 0, 0);
  Move(kUncover, 0, 0);
  EXPECT_EQ(outside.calls, (S{"face 2", "sound 1"}));
  EXPECT_EQ(State(0, 0), kFlag);
  EXPECT_EQ(game.BombsLeft, 1);

  DealLevel(kBeginner, {"*.......", "........", "....*...", "........", "..*..*..", "........", "*.*.*.*.", "......**"});
  int16_t stateAtRecord = 99;
  outside.onCheckRecord = [&] { stateAtRecord = game.GameState; };
  OpenAllSafe();
  const size_t n = outside.calls.size();
  ASSERT_GE(n, 2u);
  EXPECT_EQ(S(outside.calls.end() - 2, outside.calls.end()), (S{"face 1", "record"}));
  EXPECT_EQ(outside.gameStateAtCall[n - 2], 0);
  EXPECT_EQ(stateAtRecord, 1);
  EXPECT_EQ(outside.Count("record"), 1);
}

TEST_F(RevealTest, EachCellOfABlockRunsItsOwnWinTest) {
  // The block around the middle reaches the last safe cell before the bomb.
  DealCustom({"...", "...", "..*"});
  for (const auto& [x, y] : {std::pair{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}}) Move(kUncover, x, y);
  outside.Clear();
  Move(kUncoverBlock, 1, 1);
  EXPECT_EQ(outside.calls, (S{"sound 0", "face 1", "face 2", "sound 1"}));
  EXPECT_EQ(game.GameState, 1);
}

TEST_F(RevealTest, ABoardOfBombsIsWonByTheFirstMoveThatHitsNoBomb) {
  DealCustom({"**", "**"});
  RevealCell(game, 0, 40.0f, 8.0f);  // off the surface: the clock starts, no win test
  EXPECT_EQ(game.GameState, 0);
  EXPECT_TRUE(outside.calls.empty());
  Move(0, 1, 1);
  EXPECT_EQ(outside.calls, S{"face 1"});
  EXPECT_EQ(game.GameState, 1);
}

}  // namespace
}  // namespace porteka::test
