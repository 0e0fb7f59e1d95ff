#include <limits>

#include "rules_fixture.h"

namespace porteka::test {
namespace {

class InputTest : public RulesTest {
 protected:
  void SetUp() override { DealCustom(kSmall); }
  void PressOn(int x, int y) { Picture1_MouseDown(game.pointer, 16.0f * x + 8, 16.0f * y + 8); }
  static S Cues(int n) { return S(static_cast<size_t>(n), "sound 2"); }
};

using MouseTest = InputTest;

TEST_F(MouseTest, APressRemembersItsPixelRoundedHalfToEvenAndDoesNothingElse) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const std::pair<float, int16_t> cases[] = {
      {24.5f, 24}, {25.5f, 26}, {15.5f, 16}, {16.49f, 16}, {-0.5f, 0}, {0.4999f, 0}, {511.5f, 512}, {510.5f, 510},
      // Nonsense from the window system stays in range.
      {nan, 0},    {1e9f, 32767}, {-1e9f, -32768}, {-inf, 0},
  };
  for (const auto& [pixel, want] : cases) {
    Picture1_MouseDown(game.pointer, pixel, 3.5f);
    EXPECT_EQ(game.pointer.PointerX, want) << pixel;
    EXPECT_EQ(game.pointer.PointerY, 4);
  }
  EXPECT_EQ(game.board.GameState, GamePhase::Waiting);
  EXPECT_TRUE(outside.calls.empty());
}

using DoubleClickTest = InputTest;

// The marks_and_double_click dump shows the marked cells opened column by column.
TEST_F(DoubleClickTest, NeedsTheLastMoveToHaveHadTheLeftButtonAloneAndAMarkUnderThePress) {
  for (const auto& [x, y] : {std::pair{2, 0}, {0, 1}, {3, 1}, {0, 0}, {1, 3}}) State(x, y) = Cover::KeyboardMark;
  PressOn(1, 1);
  Picture1_MouseMove(game, kLeftButton, 40, 40);
  Picture1_DblClick(game);
  EXPECT_EQ(State(2, 0), Cover::KeyboardMark);

  PressOn(2, 0);
  for (const int16_t buttons : {0, 2, 3, 4, 5}) {
    Picture1_MouseMove(game, buttons, 40, 40);
    Picture1_DblClick(game);
    EXPECT_EQ(State(2, 0), Cover::KeyboardMark) << buttons;
  }
  Picture1_MouseMove(game, kLeftButton, 40, 40);
  Picture1_DblClick(game);
  EXPECT_EQ(State(2, 0), Cover::Open);
}

using KeyboardTest = InputTest;

// The marks_and_double_click dump marks a flag and every covered cell with
// Ctrl+A, then toggles one mark with A and with Ctrl+Shift+A.
TEST_F(KeyboardTest, CtrlAInvertsTheMarksWithEightCuesAndWithEveryCellMarkedClearsThemSilently) {
  Move(RevealMode::Uncover, 3, 0);
  State(2, 2) = Cover::SecondMark;
  State(1, 1) = Cover::KeyboardMark;
  outside.Clear();
  Form_KeyDown(game, kKeyA, kCtrlKey);
  EXPECT_EQ(Picture(), (Rows{"KKK.", "K#KK", "KKKK", "KKKK"}));
  EXPECT_EQ(outside.Take(), Cues(8));

  State(1, 1) = Cover::KeyboardMark;
  Form_KeyDown(game, kKeyA, kCtrlKey);
  EXPECT_EQ(Picture(), (Rows{"###.", "####", "####", "####"}));
  EXPECT_TRUE(outside.calls.empty());
}

TEST_F(KeyboardTest, AWithAnyOtherModifierTogglesTheCellAtThePress) {
  PressOn(2, 1);
  for (const int16_t shift : {0, 1, 3, 4, 5, 6, 7, 8, -1}) {
    Form_KeyDown(game, kKeyA, shift);
    EXPECT_EQ(State(2, 1), Cover::KeyboardMark) << shift;
    Form_KeyDown(game, kKeyA, shift);
    EXPECT_EQ(outside.Take(), Cues(1)) << shift;  // on with the cue, off silently
  }
  EXPECT_EQ(game.board.GameState, GamePhase::Waiting);  // marks do not start the clock

  // Flags and second marks become marks; the way back never raises the count.
  Move(RevealMode::CycleMark, 1, 0);
  State(2, 2) = Cover::SecondMark;
  outside.Clear();
  for (const auto& [x, y] : {std::pair{1, 0}, {2, 2}, {1, 0}}) {
    PressOn(x, y);
    Form_KeyDown(game, kKeyA, 0);
  }
  EXPECT_EQ(Picture(), (Rows{"####", "####", "##K#", "####"}));
  EXPECT_EQ(outside.Take(), Cues(2));
  EXPECT_EQ(game.board.BombsLeft, 1);
}

TEST_F(KeyboardTest, TheButtonKeysPlayTheButtonsAtThePressWhateverTheModifiers) {
  const Rows flagged = {"####", "####", "##F#", "####"}, opened = {"####", "####", "##1#", "####"};
  const Rows block = {"####", "#1..", "#.11", "#.1*"};  // the bomb in the block goes off
  const std::tuple<int16_t, int16_t, Rows> cases[] = {
      {kKeyEnter, 7, flagged}, {kKeyC, 0, flagged}, {kKeyEscape, 4, opened},
      {kKeyZ, 2, opened},      {kKeySpace, 1, block}, {kKeyX, kCtrlKey, block},
  };
  for (const auto& [key, shift, want] : cases) {
    DealCustom(kSmall);
    PressOn(2, 2);
    Form_KeyDown(game, key, shift);
    EXPECT_EQ(Picture(), want) << key;
    EXPECT_NE(game.board.GameState, GamePhase::Waiting);
  }
}

// The arrows walk the selection a cell at a time, the pixel within the cell
// kept, and stop at the edges; a selection left off a smaller board first
// comes back to its nearest cell. Any modifiers. Nothing else changes, and
// the next frame shows the marker there. Keys without a use change nothing.
TEST_F(KeyboardTest, ArrowsMoveOnlyTheSelectionWithinTheBoardAndOtherKeysNothing) {
  struct Case {
    int16_t x, y, key, wantX, wantY;
  };
  const Case cases[] = {
      {21, 37, kKeyRight, 37, 37}, {21, 37, kKeyLeft, 5, 37},  {21, 37, kKeyUp, 21, 21},
      {21, 37, kKeyDown, 21, 53},  {5, 37, kKeyLeft, 5, 37},   {53, 0, kKeyRight, 53, 0},
      {53, 0, kKeyUp, 53, 0},      {0, 63, kKeyDown, 0, 63},   {63, 63, kKeyRight, 63, 63},
      // Off the 4 x 4 board: to the nearest cell, whichever arrow.
      {300, 37, kKeyLeft, 60, 37}, {300, 300, kKeyUp, 60, 60}, {512, 0, kKeyRight, 48, 0},
      {20, 70, kKeyDown, 20, 54},  {-32768, 20, kKeyDown, 0, 20},
  };
  const auto values = game.board.CellValue;
  const auto states = game.board.CellState;
  int16_t shift = 0;
  for (const auto& [x, y, key, wantX, wantY] : cases) {
    SCOPED_TRACE(testing::Message() << "(" << x << "," << y << ") key " << key);
    game.pointer.PointerX = x;
    game.pointer.PointerY = y;
    game.loop.CursorBlink = 1;  // the next frame would be a dark one
    Form_KeyDown(game, key, shift++ % 8);
    EXPECT_EQ(game.pointer.PointerX, wantX);
    EXPECT_EQ(game.pointer.PointerY, wantY);
    EXPECT_TRUE(outside.calls.empty());
    Frames(1);
    EXPECT_EQ(outside.Count("marker " + std::to_string(wantX & ~15) + " " + std::to_string(wantY & ~15)), 1);
    outside.Clear();
  }
  for (const int16_t key : {0, 1, 36, 41, 66, 97, 99, 120, 122, 255, -1, 32767})
    for (const int16_t shift : {0, 2}) Form_KeyDown(game, key, shift);
  EXPECT_TRUE(outside.calls.empty());
  EXPECT_EQ(game.board.CellValue, values);
  EXPECT_EQ(game.board.CellState, states);
  EXPECT_EQ(game.board.GameState, GamePhase::Waiting);
  EXPECT_EQ(game.gro.ElapsedTime, 0);
}

// 511.5 rounds to 512: column 32, past the arrays. Stored column-fastest,
// (32, 0) would be the same byte as (0, 1).
TEST_F(InputTest, APressPastTheArraysOrLeftOffASmallerBoardTouchesNoCell) {
  auto expectNoCellTouched = [&] {
    Picture1_MouseMove(game, kLeftButton, 8, 8);
    outside.Clear();
    const auto before = game.board.CellState;
    Picture1_DblClick(game);
    for (const int16_t key : {kKeyA, kKeyEnter, kKeyZ, kKeyX}) Form_KeyDown(game, key, 0);
    EXPECT_EQ(game.board.CellState, before);
    EXPECT_TRUE(outside.calls.empty());
  };
  SetCustomBoard(game, 32, 32, 40);
  StartCustomGame(game);
  State(0, 1) = Cover::KeyboardMark;
  for (const float y : {0.0f, 511.5f}) {
    Picture1_MouseDown(game.pointer, 511.5f, y);
    ASSERT_EQ(game.pointer.PointerX, 512);
    expectNoCellTouched();
  }

  Picture1_MouseDown(game.pointer, 300, 300);
  StartLevel(game, Level::Beginner);
  State(0, 0) = Cover::KeyboardMark;
  expectNoCellTouched();
}

}  // namespace
}  // namespace porteka::test
