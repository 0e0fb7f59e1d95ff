#include <limits>

#include "rules_fixture.h"

namespace porteka::test {
namespace {

using S = std::vector<std::string>;

// Counts:   * 1 . .
//           1 1 . .
//           . . 1 1
//           . . 1 *
const Rows kSmall = {"*...",
                     "....",
                     "....",
                     "...*"};

class RevealTest : public RulesTest {
 protected:
  void SetUp() override { DealCustom(kSmall); }
};

TEST_F(RevealTest, AnyCallStartsTheClockWhateverTheModeOrPosition) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const std::tuple<int16_t, float, float> calls[] = {
      {0, 8, 8},       {1, 64, 8},   {1, 8, 64},       {2, -0.001f, 8}, {4, 8, -16},
      {1, nan, 8},     {1, 8, inf},  {7, 100000, 8},   {9, -inf, -inf}, {32767, 8, 8},
  };
  for (const auto& [mode, x, y] : calls) {
    SCOPED_TRACE(testing::Message() << mode << " at " << x << "," << y);
    DealCustom(kSmall);
    const Rows before = Picture();
    RevealCell(game, mode, x, y);
    EXPECT_EQ(game.GameState, 0);
    EXPECT_EQ(Picture(), before);
    EXPECT_EQ(game.CoveredCount, 16);
    EXPECT_TRUE(outside.calls.empty());
  }
}

TEST_F(RevealTest, OffTheSurfaceMeansPastTheLastPixelNotOnIt) {
  RevealCell(game, kUncover, 63.99f, 63.99f);  // the bomb in the corner
  EXPECT_EQ(State(3, 3), kOpen);
  RevealCell(game, kUncover, 31.999f, 0.0f);
  EXPECT_EQ(State(1, 0), kOpen);
  RevealCell(game, kUncover, 32.0f, 0.0f);
  EXPECT_EQ(State(2, 0), kOpen);
  // The block around a cell just past the edge would reach back onto the board.
  DealCustom(kSmall);
  for (const int16_t mode : {kUncover, kUncoverBlock, kInnerBlast}) {
    RevealCell(game, mode, 64.0f, 8.0f);
    RevealCell(game, mode, 8.0f, 64.0f);
    RevealCell(game, mode, 64.0f, 64.0f);
  }
  EXPECT_EQ(game.CoveredCount, 16);
  EXPECT_TRUE(outside.calls.empty());
}

TEST_F(RevealTest, ModesThatAreNoMoveChangeNothingAnywhere) {
  Move(kCycleMark, 1, 1);
  Move(kUncover, 3, 0);
  outside.Clear();
  const Rows before = Picture();
  for (const int16_t mode : {0, 3, 5, 6, 7, 10, 16, -1, -8}) {
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) Move(mode, x, y);
  }
  EXPECT_EQ(Picture(), before);
  EXPECT_EQ(game.BombsLeft, 1);
  EXPECT_TRUE(outside.calls.empty());
}

TEST_F(RevealTest, UncoverOpensOneCellCountsItOffAndGivesItAFlash) {
  Move(kUncover, 1, 0);
  EXPECT_EQ(Picture(), (Rows{"#1##", "####", "####", "####"}));
  EXPECT_EQ(game.CoveredCount, 15);
  EXPECT_EQ(game.OpenEffects[0].Phase, 1);
  EXPECT_EQ(game.OpenEffects[0].X, 0);
  EXPECT_EQ(game.OpenEffects[0].Y, -16);
  EXPECT_EQ(outside.Take(), S{"sound 0"});

  // An empty cell opens alone too: the wave is the flash's business.
  Move(kUncover, 3, 0);
  EXPECT_EQ(Picture(), (Rows{"#1#.", "####", "####", "####"}));
  EXPECT_EQ(game.OpenEffects[1].X, 32);

  // Open cells stay as they are, with no second flash.
  Move(kUncover, 1, 0);
  EXPECT_EQ(game.CoveredCount, 14);
  EXPECT_EQ(game.OpenEffects[2].Phase, 0);
  EXPECT_EQ(outside.Take(), S{"sound 0"});
}

TEST_F(RevealTest, OnlyPlainCoversAndSecondMarksGiveWayToUncover) {
  State(1, 0) = kSecondMark;
  State(2, 0) = kFlag;
  State(3, 0) = kKeyboardMark;
  for (int x = 1; x < 4; ++x) Move(kUncover, x, 0);
  EXPECT_EQ(Picture()[0], "#1FK");
  // The block skips every mark, the second one too.
  DealCustom(kSmall);
  State(1, 0) = kSecondMark;
  State(2, 0) = kFlag;
  State(3, 0) = kKeyboardMark;
  Move(kUncoverBlock, 2, 1);
  EXPECT_EQ(Picture(), (Rows{"#?FK", "#1..", "#.11", "####"}));
}

TEST_F(RevealTest, UncoveringABombBlowsItUpAndEndsTheGame) {
  Move(kUncover, 0, 0);
  EXPECT_EQ(State(0, 0), kOpen);
  EXPECT_EQ(Value(0, 0), kBomb);
  EXPECT_EQ(game.CoveredCount, 16);  // a bomb is never counted off
  EXPECT_EQ(game.GameState, 1);
  EXPECT_EQ(game.Explosions[0].Phase, 1);
  EXPECT_EQ(game.Explosions[0].X, -52);
  EXPECT_EQ(game.Explosions[0].Y, -52);
  EXPECT_EQ(game.OpenEffects[0].Phase, 0);
  // The losing face comes before the game ends, the sound after.
  EXPECT_EQ(outside.calls, (S{"face 2", "sound 1"}));
  EXPECT_EQ(outside.gameStateAtCall, (std::vector<int16_t>{0, 1}));

  DealCustom(kSmall);
  State(3, 3) = kSecondMark;
  Move(kUncover, 3, 3);
  EXPECT_EQ(State(3, 3), kOpen);
  EXPECT_EQ(game.Explosions[1].X, 48 - 52);
}

TEST_F(RevealTest, TheRightButtonCyclesCoveredFlagSecondMark) {
  const std::pair<uint8_t, int16_t> steps[] = {
      {kFlag, 1}, {kSecondMark, 2}, {kCovered, 2}, {kFlag, 1}, {kSecondMark, 2}};
  for (const auto& [state, bombsLeft] : steps) {
    Move(kCycleMark, 2, 2);
    EXPECT_EQ(State(2, 2), state);
    EXPECT_EQ(game.BombsLeft, bombsLeft);
  }
  State(1, 1) = kKeyboardMark;
  Move(kCycleMark, 1, 1);
  EXPECT_EQ(State(1, 1), kCovered);
  EXPECT_EQ(game.BombsLeft, 2);

  Move(kUncover, 2, 0);
  Move(kCycleMark, 2, 0);
  EXPECT_EQ(State(2, 0), kOpen);

  // More flags than bombs take the count below zero; nothing is drawn for it.
  outside.Clear();
  for (const auto& [x, y] : {std::pair{0, 0}, {1, 0}, {3, 0}, {0, 1}}) Move(kCycleMark, x, y);
  EXPECT_EQ(game.BombsLeft, -2);
  EXPECT_TRUE(outside.calls.empty());
}

TEST_F(RevealTest, TheBlockOpensRowByRowAndSetsOffABombWhateverTheFlags) {
  Move(kCycleMark, 1, 0);  // a flag next to the bomb protects nothing
  outside.Clear();
  Move(kUncoverBlock, 1, 1);
  EXPECT_EQ(Picture(), (Rows{"*F.#", "11.#", "..1#", "####"}));
  EXPECT_EQ(game.GameState, 1);
  // The bomb in the top left goes first; then the flashes in row order.
  const std::pair<int, int> order[] = {{2, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}};
  for (size_t i = 0; i < std::size(order); ++i) {
    EXPECT_EQ(game.OpenEffects[i].X, 16 * order[i].first - 16) << i;
    EXPECT_EQ(game.OpenEffects[i].Y, 16 * order[i].second - 16) << i;
  }
  EXPECT_EQ(outside.calls.front(), "face 2");
  EXPECT_EQ(outside.Count("sound 0"), 7);
}

TEST_F(RevealTest, TheBlockAtACornerStaysOnTheBoard) {
  Move(kUncoverBlock, 0, 3);
  EXPECT_EQ(Picture(), (Rows{"####", "####", "..##", "..##"}));
  Move(kUncoverBlock, 3, 0);
  EXPECT_EQ(Picture(), (Rows{"##..", "##..", "..##", "..##"}));
}

TEST_F(RevealTest, BlastsUncoverCoveredCellsAndLeaveRubble) {
  Move(kInnerBlast, 1, 0);  // showed 1
  Move(kOuterBlast, 3, 0);  // showed nothing
  EXPECT_EQ(Picture()[0], "#x#+");
  EXPECT_EQ(game.CoveredCount, 14);
  EXPECT_EQ(outside.Take(), (S{"sound 0", "sound 0"}));
  EXPECT_EQ(game.OpenEffects[1].Phase, 1);

  // Open cells: the inner ring scorches anything, the outer ring never
  // downgrades inner rubble.
  Move(kUncover, 1, 1);
  Move(kUncover, 2, 1);
  outside.Clear();
  Move(kInnerBlast, 1, 1);  // 1 -> 10
  Move(kOuterBlast, 2, 1);  // 0 -> 11
  Move(kOuterBlast, 1, 1);  // 10 stays
  Move(kInnerBlast, 3, 0);  // 11 -> 10
  EXPECT_EQ(Picture()[1], "#x+#");
  EXPECT_EQ(Value(2, 1), kOuterRubble);
  EXPECT_EQ(Picture()[0], "#x#x");
  EXPECT_EQ(game.CoveredCount, 12);
  EXPECT_TRUE(outside.calls.empty());
}

TEST_F(RevealTest, BlastsScorchMarkedCellsUnderTheirCoverAndSpareMarkedBombs) {
  State(0, 1) = kFlag;
  State(1, 1) = kKeyboardMark;
  State(0, 0) = kFlag;          // a bomb
  State(3, 3) = kKeyboardMark;  // a bomb
  Move(kInnerBlast, 0, 1);
  Move(kOuterBlast, 1, 1);
  Move(kInnerBlast, 0, 0);
  Move(kOuterBlast, 3, 3);
  EXPECT_EQ(Picture(), (Rows{"F###", "FK##", "####", "###K"}));
  EXPECT_EQ(Value(0, 1), kInnerRubble);
  EXPECT_EQ(Value(1, 1), kOuterRubble);
  EXPECT_EQ(Value(0, 0), kBomb);
  EXPECT_EQ(Value(3, 3), kBomb);
  EXPECT_EQ(game.CoveredCount, 16);
  EXPECT_EQ(game.GameState, 0);
  EXPECT_TRUE(outside.calls.empty());

  // Uncovered later, a scorched cell shows its rubble, and an outer blast on
  // a covered cell that already holds inner rubble keeps it.
  Move(kCycleMark, 0, 1);  // flag -> second mark
  Move(kOuterBlast, 0, 1);
  EXPECT_EQ(State(0, 1), kOpen);
  EXPECT_EQ(Value(0, 1), kInnerRubble);

  // A second-marked bomb goes off under a blast; an exploded bomb stays a bomb.
  State(0, 0) = kSecondMark;
  Move(kOuterBlast, 0, 0);
  EXPECT_EQ(State(0, 0), kOpen);
  EXPECT_EQ(Value(0, 0), kBomb);
  EXPECT_EQ(game.Explosions[0].Phase, 1);
  Move(kInnerBlast, 0, 0);
  EXPECT_EQ(Value(0, 0), kBomb);
  EXPECT_EQ(game.Explosions[1].Phase, 0);
}

TEST_F(RevealTest, WinningACustomGameShowsTheFaceAndStopsWithoutRecords) {
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      if (Value(x, y) != kBomb) Move(kUncover, x, y);
  EXPECT_EQ(game.CoveredCount, 2);
  EXPECT_EQ(game.GameState, 1);
  EXPECT_EQ(outside.Count("face 1"), 1);
  EXPECT_EQ(outside.Count("record"), 0);
  EXPECT_EQ(outside.calls.back(), "face 1");
}

TEST_F(RevealTest, WinningAFixedLevelShowsTheFaceEndsTheGameThenChecksRecords) {
  DealLevel(kBeginner, {"*.......",
                        "........",
                        "....*...",
                        "........",
                        "..*..*..",
                        "........",
                        "*.*.*.*.",
                        "......**"});
  int16_t stateAtRecord = 99;
  outside.onCheckRecord = [&] { stateAtRecord = game.GameState; };
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      if (Value(x, y) != kBomb) Move(kUncover, x, y);
  ASSERT_GE(outside.calls.size(), 2u);
  const size_t n = outside.calls.size();
  EXPECT_EQ(outside.calls[n - 2], "face 1");
  EXPECT_EQ(outside.calls[n - 1], "record");
  EXPECT_EQ(outside.gameStateAtCall[n - 2], 0);
  EXPECT_EQ(stateAtRecord, 1);
  EXPECT_EQ(outside.Count("record"), 1);
}

TEST_F(RevealTest, EachCellOfABlockRunsItsOwnWinTest) {
  // The block around the middle reaches the last safe cell before the bomb.
  DealCustom({"...",
              "...",
              "..*"});
  for (const auto& [x, y] : {std::pair{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}}) Move(kUncover, x, y);
  outside.Clear();
  Move(kUncoverBlock, 1, 1);
  EXPECT_EQ(outside.calls, (S{"sound 0", "face 1", "face 2", "sound 1"}));
  EXPECT_EQ(game.GameState, 1);
}

TEST_F(RevealTest, AWinIsNotTakenBackAndNotFoundTwice) {
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      if (Value(x, y) != kBomb) Move(kUncover, x, y);
  outside.Clear();
  // The board stays live: a bomb still goes off and shows the losing face.
  Move(kUncover, 3, 3);
  EXPECT_EQ(outside.calls, (S{"face 2", "sound 1"}));
  EXPECT_EQ(game.GameState, 1);
  Move(kCycleMark, 0, 0);
  EXPECT_EQ(game.BombsLeft, 1);
  Move(kUncover, 0, 0);
  EXPECT_EQ(State(0, 0), kFlag);
  EXPECT_EQ(outside.Count("face 1"), 0);
}

TEST_F(RevealTest, TheBoardStaysLiveAfterAnExplosion) {
  Move(kUncover, 0, 0);
  Move(kUncover, 2, 2);
  Move(kCycleMark, 0, 3);
  Move(kUncoverBlock, 3, 0);
  EXPECT_EQ(Picture(), (Rows{"*#..", "##..", "##1#", "F###"}));
  EXPECT_EQ(game.BombsLeft, 1);
  EXPECT_EQ(game.CoveredCount, 16 - 5);
  EXPECT_EQ(game.GameState, 1);
  Move(kUncover, 3, 3);
  EXPECT_EQ(outside.Count("face 2"), 2);
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

TEST_F(RevealTest, OpenCellLeavesBombsAlone) {
  const int16_t x = 0, y = 0;
  OpenCell(game, x, y);
  EXPECT_EQ(State(0, 0), kCovered);
  EXPECT_EQ(game.CoveredCount, 16);
  EXPECT_TRUE(outside.calls.empty());
}

}  // namespace
}  // namespace porteka::test
