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

class KeyboardTest : public RulesTest {
 protected:
  void SetUp() override { DealCustom(kSmall); }
  void PressOn(int x, int y) { Picture1_MouseDown(game, 1, 0, static_cast<float>(16 * x + 8), static_cast<float>(16 * y + 8)); }
  static S Cues(int n) { return S(static_cast<size_t>(n), "sound 2"); }
};

TEST_F(KeyboardTest, CtrlAMarksEveryCoveredCellAndPlaysTheCueEightTimes) {
  Move(kUncover, 3, 0);
  Move(kCycleMark, 1, 0);                  // a flag
  Move(kCycleMark, 2, 2);
  Move(kCycleMark, 2, 2);                  // a second mark
  outside.Clear();
  Form_KeyDown(game, kKeyA, kCtrlKey);
  EXPECT_EQ(Picture(), (Rows{"KKK.", "KKKK", "KKKK", "KKKK"}));
  EXPECT_EQ(outside.Take(), Cues(8));
  EXPECT_EQ(game.BombsLeft, 1);  // the flag's bomb stays counted off

  // The second one only takes marks away: everything plainly covered, no sound.
  Form_KeyDown(game, kKeyA, kCtrlKey);
  EXPECT_EQ(Picture(), (Rows{"###.", "####", "####", "####"}));
  EXPECT_TRUE(outside.calls.empty());
  EXPECT_EQ(game.BombsLeft, 1);
}

TEST_F(KeyboardTest, CtrlASwapsMarkedAndUnmarkedCells) {
  State(0, 0) = kKeyboardMark;
  State(1, 1) = kKeyboardMark;
  Form_KeyDown(game, kKeyA, kCtrlKey);
  EXPECT_EQ(Picture(), (Rows{"#KKK", "K#KK", "KKKK", "KKKK"}));
  EXPECT_EQ(outside.Take(), Cues(8));
  EXPECT_EQ(game.GameState, -1);  // marks do not start the clock
}

TEST_F(KeyboardTest, OnlyCtrlAloneInvertsAnyOtherModifierTogglesOneCell) {
  PressOn(2, 1);
  for (const int16_t shift : {0, 1, 3, 4, 5, 6, 7, 8, -1}) {
    SCOPED_TRACE(shift);
    Form_KeyDown(game, kKeyA, shift);
    EXPECT_EQ(State(2, 1), kKeyboardMark);
    EXPECT_EQ(State(1, 1), kCovered);
    EXPECT_EQ(outside.Take(), Cues(1));
    Form_KeyDown(game, kKeyA, shift);
    EXPECT_EQ(State(2, 1), kCovered);
    EXPECT_TRUE(outside.Take().empty());
  }
  EXPECT_EQ(game.GameState, -1);
}

TEST_F(KeyboardTest, ATurnsFlagsAndSecondMarksIntoMarksAndLeavesOpenCells) {
  PressOn(1, 0);
  Move(kCycleMark, 1, 0);
  Form_KeyDown(game, kKeyA, 0);
  EXPECT_EQ(State(1, 0), kKeyboardMark);
  EXPECT_EQ(game.BombsLeft, 1);
  // Back to covered by A or by the right button: the count stays lowered.
  Form_KeyDown(game, kKeyA, 0);
  EXPECT_EQ(State(1, 0), kCovered);
  Form_KeyDown(game, kKeyA, 0);
  Move(kCycleMark, 1, 0);
  EXPECT_EQ(State(1, 0), kCovered);
  EXPECT_EQ(game.BombsLeft, 1);

  PressOn(2, 2);
  State(2, 2) = kSecondMark;
  outside.Clear();
  Form_KeyDown(game, kKeyA, 0);
  EXPECT_EQ(State(2, 2), kKeyboardMark);
  EXPECT_EQ(outside.Take(), Cues(1));

  Move(kUncover, 3, 2);
  PressOn(3, 2);
  outside.Clear();
  Form_KeyDown(game, kKeyA, 0);
  EXPECT_EQ(State(3, 2), kOpen);
  EXPECT_TRUE(outside.calls.empty());
}

TEST_F(KeyboardTest, TheButtonKeysPlayTheButtonsAtThePress) {
  PressOn(1, 1);
  for (const int16_t key : {kKeyEnter, kKeyC}) {
    Form_KeyDown(game, key, 7);
    EXPECT_EQ(State(1, 1), kFlag);
    Form_KeyDown(game, key, 0);
    Form_KeyDown(game, key, 2);
    EXPECT_EQ(State(1, 1), kCovered);
  }
  EXPECT_EQ(game.GameState, 0);
  for (const int16_t key : {kKeyEscape, kKeyZ}) {
    DealCustom(kSmall);
    Form_KeyDown(game, key, 4);
    EXPECT_EQ(Picture(), (Rows{"####", "#1##", "####", "####"}));
  }
  for (const int16_t key : {kKeySpace, kKeyX}) {
    DealCustom(kSmall);
    PressOn(2, 2);
    Form_KeyDown(game, key, 1);
    EXPECT_EQ(Picture(), (Rows{"####", "#1..", "#.11", "#.1*"}));  // the bomb in the block goes off
  }
  // Enter on a covered cell flags it exactly as a right-button move would.
  DealCustom(kSmall);
  PressOn(3, 0);
  Form_KeyDown(game, kKeyEnter, 0);
  EXPECT_EQ(State(3, 0), kFlag);
  EXPECT_EQ(game.BombsLeft, 1);
}

TEST_F(KeyboardTest, OtherKeysAreIgnored) {
  PressOn(1, 1);
  for (const int16_t key : {0, 1, 66, 97, 99, 120, 122, 255, -1, 32767}) {
    for (const int16_t shift : {0, 2}) Form_KeyDown(game, key, shift);
  }
  EXPECT_EQ(game.GameState, -1);
  EXPECT_EQ(game.CoveredCount, 16);
  EXPECT_TRUE(outside.calls.empty());
}

TEST_F(KeyboardTest, BeforeTheFirstGameNoKeyChangesAnything) {
  LoadGame(game);
  outside.Clear();
  const auto before = game.CellState;
  for (const int16_t key : {kKeyA, kKeyEnter, kKeyC, kKeyEscape, kKeyZ, kKeySpace, kKeyX}) {
    for (const int16_t shift : {0, 2}) Form_KeyDown(game, key, shift);
  }
  EXPECT_EQ(game.CellState, before);
  EXPECT_TRUE(outside.calls.empty());
}

TEST_F(KeyboardTest, APressPastTheBoardOrPastTheArraysTouchesNoCell) {
  SetCustomBoard(game, 32, 32, 40);
  StartCustomGame(game);
  // 511.5 rounds to 512: column 32, which stored column-fastest would be (0, 1).
  Picture1_MouseDown(game, 1, 0, 511.5f, 0.0f);
  const auto before = game.CellState;
  outside.Clear();
  Form_KeyDown(game, kKeyA, 0);
  EXPECT_EQ(game.CellState, before);
  EXPECT_TRUE(outside.calls.empty());
  for (const int16_t key : {kKeyEnter, kKeyZ, kKeyX}) Form_KeyDown(game, key, 0);
  EXPECT_EQ(game.CellState, before);
  EXPECT_EQ(game.GameState, 0);  // the button keys still start the clock

  Picture1_MouseDown(game, 1, 0, 200, 200);
  StartLevel(game, kBeginner);
  outside.Clear();
  for (const int16_t key : {kKeyA, kKeyEnter, kKeyZ, kKeyX}) Form_KeyDown(game, key, 0);
  EXPECT_EQ(game.CoveredCount, 64);
  EXPECT_TRUE(outside.calls.empty());
  EXPECT_EQ(game.GameState, 0);
}

}  // namespace
}  // namespace porteka::test
