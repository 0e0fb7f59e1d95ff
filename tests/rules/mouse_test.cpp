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

class MouseTest : public RulesTest {
 protected:
  void SetUp() override { DealCustom(kSmall); }
};

TEST_F(MouseTest, APressRemembersItsPixelRoundedHalfToEvenAndDoesNothingElse) {
  const std::pair<float, int16_t> cases[] = {
      {24.5f, 24}, {25.5f, 26}, {15.5f, 16}, {16.49f, 16}, {-0.5f, 0}, {0.4999f, 0}, {511.5f, 512}, {510.5f, 510},
  };
  for (const auto& [pixel, want] : cases) {
    Picture1_MouseDown(game, 1, 0, pixel, 3.5f);
    EXPECT_EQ(game.PointerX, want) << pixel;
    EXPECT_EQ(game.PointerY, 4);
  }
  EXPECT_EQ(game.GameState, -1);
  EXPECT_EQ(game.CoveredCount, 16);
  EXPECT_TRUE(outside.calls.empty());

  // Nonsense from the window system stays in range.
  Picture1_MouseDown(game, 1, 0, std::numeric_limits<float>::quiet_NaN(), 1e9f);
  EXPECT_EQ(game.PointerX, 0);
  EXPECT_EQ(game.PointerY, 32767);
  Picture1_MouseDown(game, 1, 0, -1e9f, -std::numeric_limits<float>::infinity());
  EXPECT_EQ(game.PointerX, -32768);
  EXPECT_EQ(game.PointerY, 0);
}

TEST_F(MouseTest, DraggingWithTheLeftButtonUncoversWhatThePointerPasses) {
  State(1, 1) = kFlag;
  State(2, 1) = kKeyboardMark;
  State(3, 1) = kSecondMark;
  Picture1_MouseDown(game, 1, 0, 2, 2);
  for (float x = 0; x < 64; x += 5.5f) Picture1_MouseMove(game, kLeftButton, 0, x, 24.0f);
  EXPECT_EQ(Picture()[1], "1FK.");
  EXPECT_EQ(game.LastButton, kLeftButton);
  EXPECT_EQ(game.GameState, 0);
  // The move's own position counts, not the press.
  EXPECT_EQ(State(0, 0), kCovered);
  Picture1_MouseMove(game, kLeftButton, 0, 0, 0);
  EXPECT_EQ(game.GameState, 1);
  EXPECT_EQ(outside.Count("face 2"), 1);
}

TEST_F(MouseTest, TheRightButtonCyclesOnEveryMoveEventInsideOneCell) {
  const uint8_t states[] = {kFlag, kSecondMark, kCovered, kFlag, kSecondMark};
  const int16_t bombsLeft[] = {1, 2, 2, 1, 2};
  for (int i = 0; i < 5; ++i) {
    Picture1_MouseMove(game, kRightButton, 0, 40.0f + static_cast<float>(i), 40.0f);
    EXPECT_EQ(State(2, 2), states[i]);
    EXPECT_EQ(game.BombsLeft, bombsLeft[i]);
  }
}

TEST_F(MouseTest, TheMiddleButtonOpensTheBlockAndButtonSumsDoNothing) {
  for (const int16_t buttons : {3, 5, 6, 7, 0}) {
    Picture1_MouseMove(game, buttons, 0, 40, 40);
    EXPECT_EQ(game.LastButton, buttons);
  }
  EXPECT_EQ(game.CoveredCount, 16);
  Picture1_MouseMove(game, kMiddleButton, 0, 56, 8);
  EXPECT_EQ(Picture(), (Rows{"##..", "##..", "####", "####"}));
}

TEST_F(MouseTest, DraggingOffTheSurfaceStartsTheClockAndNothingElse) {
  Picture1_MouseMove(game, kLeftButton, 0, -20, 30);
  Picture1_MouseMove(game, kLeftButton, 0, 64, 30);
  Picture1_MouseMove(game, kMiddleButton, 0, 30, 64);
  EXPECT_EQ(game.GameState, 0);
  EXPECT_EQ(game.CoveredCount, 16);
  EXPECT_TRUE(outside.calls.empty());
}

class DoubleClickTest : public MouseTest {
 protected:
  void MarkAndPress(int pressX, int pressY) {
    for (const auto& [x, y] : {std::pair{2, 0}, {0, 1}, {3, 1}, {0, 0}, {1, 3}}) State(x, y) = kKeyboardMark;
    Picture1_MouseDown(game, 1, 0, static_cast<float>(16 * pressX + 3), static_cast<float>(16 * pressY + 3));
  }
};

TEST_F(DoubleClickTest, UncoversEveryMarkedCellColumnByColumn) {
  MarkAndPress(3, 1);
  Picture1_MouseMove(game, kLeftButton, 0, 56, 24);  // over the marked cell: no effect
  EXPECT_EQ(State(3, 1), kKeyboardMark);
  outside.Clear();
  Picture1_DblClick(game);
  EXPECT_EQ(Picture(), (Rows{"*#.#", "1##.", "####", "#.##"}));
  // Column 0 top down (the bomb, then (0,1)), then (1,3), (2,0), (3,1).
  EXPECT_EQ(outside.calls, (S{"face 2", "sound 1", "sound 0", "sound 0", "sound 0", "sound 0"}));
  const std::pair<int, int> order[] = {{0, 1}, {1, 3}, {2, 0}, {3, 1}};
  for (size_t i = 0; i < std::size(order); ++i) {
    EXPECT_EQ(game.OpenEffects[i].X, 16 * order[i].first - 16) << i;
    EXPECT_EQ(game.OpenEffects[i].Y, 16 * order[i].second - 16) << i;
  }
}

TEST_F(DoubleClickTest, NeedsTheLastMoveToHaveHadTheLeftButtonAlone) {
  MarkAndPress(2, 0);
  for (const int16_t buttons : {0, 2, 3, 4, 5}) {
    Picture1_MouseMove(game, buttons, 0, 40, 40);
    Picture1_DblClick(game);
    EXPECT_EQ(State(2, 0), kKeyboardMark) << buttons;
  }
  Picture1_MouseMove(game, kLeftButton, 0, 40, 40);
  Picture1_DblClick(game);
  EXPECT_EQ(State(2, 0), kOpen);
}

TEST_F(DoubleClickTest, NeedsTheMarkUnderThePress) {
  MarkAndPress(1, 1);
  Picture1_MouseMove(game, kLeftButton, 0, 40, 40);
  Picture1_DblClick(game);
  EXPECT_EQ(State(2, 0), kKeyboardMark);
  EXPECT_EQ(State(0, 1), kKeyboardMark);
}

TEST_F(DoubleClickTest, APressPastTheLastColumnIsAnOpenCellNotTheNextRow) {
  // 511.5 rounds to 512: column 32, past the arrays. Stored column-fastest,
  // (32, 0) would be the same byte as (0, 1).
  SetCustomBoard(game, 32, 32, 10);
  StartCustomGame(game);
  State(0, 1) = kKeyboardMark;
  Picture1_MouseDown(game, 1, 0, 511.5f, 0.0f);
  ASSERT_EQ(game.PointerX, 512);
  Picture1_MouseMove(game, kLeftButton, 0, 8, 8);
  Picture1_DblClick(game);
  EXPECT_EQ(State(0, 1), kKeyboardMark);

  Picture1_MouseDown(game, 1, 0, 511.5f, 511.5f);
  Picture1_DblClick(game);
  EXPECT_EQ(State(0, 1), kKeyboardMark);
}

TEST_F(DoubleClickTest, APressLeftOutsideASmallerBoardFindsNoMark) {
  SetCustomBoard(game, 32, 32, 10);
  StartCustomGame(game);
  Picture1_MouseDown(game, 1, 0, 300, 300);
  StartLevel(game, kBeginner);
  State(0, 0) = kKeyboardMark;
  Picture1_MouseMove(game, kLeftButton, 0, 100, 100);
  Picture1_DblClick(game);
  EXPECT_EQ(State(0, 0), kKeyboardMark);
  for (int y = 8; y < kArraySide; ++y)
    for (int x = 8; x < kArraySide; ++x) ASSERT_EQ(State(x, y), kOpen);
}

}  // namespace
}  // namespace porteka::test
