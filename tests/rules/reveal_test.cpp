#include <array>
#include <limits>

#include "rules_fixture.h"

namespace porteka::test {
namespace {

class RevealTest : public RulesTest {
 protected:
  void SetUp() override { DealCustom(kSmall); }
};

TEST_F(RevealTest, CallsThatAreNoMoveOnlyStartTheClock) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  // Moves off the surface: past the last pixel, not on it. The block around a
  // cell just past the edge would reach back onto the board.
  const std::pair<float, float> off[] = {{64, 8}, {8, 64}, {64, 64}, {-0.001f, 8}, {8, -16},
                                         {nan, 8}, {8, inf}, {100000, 8}, {-inf, -inf}};
  for (const RevealMode mode : {RevealMode::Uncover, RevealMode::CycleMark, RevealMode::UncoverBlock,
                                RevealMode::InnerBlast, RevealMode::OuterBlast}) {
    for (const auto& [x, y] : off) {
      DealCustom(kSmall);
      RevealCell(game, mode, x, y);
      EXPECT_EQ(game.board.GameState, GamePhase::Running);
      EXPECT_EQ(Picture(), Rows(4, "####")) << static_cast<int>(mode) << " at " << x << "," << y;
      EXPECT_TRUE(outside.calls.empty());
    }
  }
  // Modes that are no move, on every cell, with open and marked cells about.
  Move(RevealMode::CycleMark, 1, 1);
  Move(RevealMode::Uncover, 3, 0);
  outside.Clear();
  const Rows before = Picture();
  for (const int16_t mode : {0, 3, 5, 6, 7, 10, 16, -1, -8, 32767})
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) Move(RevealMode{mode}, x, y);
  EXPECT_EQ(Picture(), before);
  EXPECT_EQ(game.board.BombsLeft, 1);
  EXPECT_TRUE(outside.calls.empty());
}

// The wave is the flash's business: an empty cell opens alone too.
TEST_F(RevealTest, UncoverOpensTheCellUnderThePixelOnceWithAFlashAndSkipsFlagsAndKeyboardMarks) {
  State(3, 0) = Cover::Flag;
  State(0, 1) = Cover::KeyboardMark;
  RevealCell(game, RevealMode::Uncover, 31.999f, 0.0f);
  EXPECT_EQ(game.effects.OpenEffects[0].Phase, 1);
  RevealCell(game, RevealMode::Uncover, 32.0f, 0.0f);
  for (const auto& [x, y] : {std::pair{1, 0}, {3, 0}, {0, 1}}) Move(RevealMode::Uncover, x, y);
  EXPECT_EQ(Picture(), (Rows{"#1.F", "K###", "####", "####"}));
  EXPECT_EQ(game.board.CoveredCount, 14);
  EXPECT_EQ(game.effects.OpenEffects[2].Phase, 0);  // no second flash for an open cell
  EXPECT_EQ(outside.Take(), (S{"sound 0", "sound 0"}));
}

// The dumps show a bomb opened and blown up and the game over. The losing face
// comes before the game ends, the sound after, and there is no flash.
TEST_F(RevealTest, UncoveringABombShowsTheFaceBeforeTheGameEndsAndSoundsAfter) {
  State(3, 3) = Cover::SecondMark;
  RevealCell(game, RevealMode::Uncover, 63.99f, 63.99f);
  EXPECT_EQ(game.board.CoveredCount, 16);  // a bomb is never counted off
  EXPECT_EQ(outside.calls, (S{"face 2", "sound 1"}));
  EXPECT_EQ(outside.gameStateAtCall, (std::vector<int16_t>{0, 1}));
}

TEST_F(RevealTest, TheRightButtonCyclesCoveredFlagSecondMarkOnEveryMoveEvent) {
  const std::pair<Cover, int16_t> steps[] = {
      {Cover::Flag, 1}, {Cover::SecondMark, 2}, {Cover::Covered, 2}, {Cover::Flag, 1}, {Cover::SecondMark, 2}};
  float x = 40;
  for (const auto& [state, bombsLeft] : steps) {
    Picture1_MouseMove(game, kRightButton, x++, 40.0f);  // all inside one cell
    EXPECT_EQ(State(2, 2), state);
    EXPECT_EQ(game.board.BombsLeft, bombsLeft);
  }
  State(1, 1) = Cover::KeyboardMark;
  Move(RevealMode::CycleMark, 1, 1);
  EXPECT_EQ(State(1, 1), Cover::Covered);
  EXPECT_TRUE(outside.calls.empty());
}

TEST_F(RevealTest, TheBlockOpensRowByRowAndSetsOffABombWhateverTheFlags) {
  Move(RevealMode::CycleMark, 1, 0);  // a flag next to the bomb protects nothing
  outside.Clear();
  Move(RevealMode::UncoverBlock, 1, 1);
  EXPECT_EQ(Picture(), (Rows{"*F.#", "11.#", "..1#", "####"}));
  EXPECT_EQ(game.board.GameState, GamePhase::Over);
  // The bomb in the top left goes first; the flashes follow in row order.
  EXPECT_EQ(outside.calls.front(), "face 2");
  EXPECT_EQ(outside.Count("sound 0"), 7);
  EXPECT_EQ(game.effects.OpenEffects[0].X, 16);
}

TEST_F(RevealTest, BlastsLeaveRubbleInnerOverOuterAndSpareMarkedBombs) {
  Move(RevealMode::Uncover, 1, 1);
  Move(RevealMode::Uncover, 2, 1);
  State(0, 2) = Cover::Flag;
  State(1, 2) = Cover::KeyboardMark;
  State(0, 0) = Cover::Flag;          // a bomb
  State(3, 3) = Cover::KeyboardMark;  // a bomb
  outside.Clear();
  const std::tuple<RevealMode, int, int> blasts[] = {
      {RevealMode::InnerBlast, 1, 0}, {RevealMode::OuterBlast, 3, 0},  // covered: opened, with a flash, as rubble
      {RevealMode::InnerBlast, 1, 1}, {RevealMode::OuterBlast, 2, 1},  // open: scorched
      {RevealMode::OuterBlast, 1, 1}, {RevealMode::InnerBlast, 3, 0},  // outer never downgrades inner; inner upgrades outer
      {RevealMode::InnerBlast, 0, 2}, {RevealMode::OuterBlast, 1, 2},  // marked: scorched under the cover
      {RevealMode::InnerBlast, 0, 0}, {RevealMode::OuterBlast, 3, 3},  // marked bombs are spared
  };
  for (const auto& [mode, x, y] : blasts) Move(mode, x, y);
  EXPECT_EQ(Picture(), (Rows{"Fx#x", "#x+#", "FK##", "###K"}));
  EXPECT_EQ((std::array{Value(0, 2), Value(1, 2), Value(0, 0), Value(3, 3)}),
            (std::array{kInnerRubble, kOuterRubble, kBomb, kBomb}));
  EXPECT_EQ(game.board.CoveredCount, 12);
  EXPECT_EQ(game.board.GameState, GamePhase::Running);
  EXPECT_EQ(outside.Take(), (S{"sound 0", "sound 0"}));

  // Uncovered later, a scorched cell keeps its inner rubble under an outer blast.
  State(0, 2) = Cover::SecondMark;
  Move(RevealMode::OuterBlast, 0, 2);
  EXPECT_EQ(State(0, 2), Cover::Open);
  EXPECT_EQ(Value(0, 2), kInnerRubble);

  // A second-marked bomb goes off under a blast; an exploded bomb stays a bomb.
  State(0, 0) = Cover::SecondMark;
  Move(RevealMode::OuterBlast, 0, 0);
  EXPECT_EQ(Value(0, 0), kBomb);
  EXPECT_EQ(game.effects.Explosions[0].Phase, 1);
  Move(RevealMode::InnerBlast, 0, 0);
  EXPECT_EQ(Value(0, 0), kBomb);
  EXPECT_EQ(game.effects.Explosions[1].Phase, 0);
}

// The flood_wave dump shows a custom board won without a records check.
TEST_F(RevealTest, AWinShowsTheFaceWhileRunningThenChecksRecordsWithTheGameOver) {
  DealLevel(Level::Beginner, {"*.......", "........", "....*...", "........", "..*..*..", "........", "*.*.*.*.", "......**"});
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      if (Value(x, y) != kBomb) Move(RevealMode::Uncover, x, y);
  ASSERT_GE(outside.calls.size(), 2u);
  EXPECT_EQ(S(outside.calls.end() - 2, outside.calls.end()), (S{"face 1", "record"}));
  EXPECT_EQ(std::vector(outside.gameStateAtCall.end() - 2, outside.gameStateAtCall.end()), (std::vector<int16_t>{0, 1}));
  EXPECT_EQ(outside.Count("record"), 1);
}

TEST_F(RevealTest, EachCellOfABlockRunsItsOwnWinTest) {
  // The block around the middle reaches the last safe cell before the bomb.
  DealCustom({"...", "...", "..*"});
  for (const auto& [x, y] : {std::pair{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}}) Move(RevealMode::Uncover, x, y);
  outside.Clear();
  Move(RevealMode::UncoverBlock, 1, 1);
  EXPECT_EQ(outside.calls, (S{"sound 0", "face 1", "face 2", "sound 1"}));
  EXPECT_EQ(game.board.GameState, GamePhase::Over);
}

TEST_F(RevealTest, ABoardOfBombsIsWonByTheFirstMoveThatHitsNoBomb) {
  DealCustom({"**", "**"});
  RevealCell(game, RevealMode{0}, 40.0f, 8.0f);  // off the surface: the clock starts, no win test
  EXPECT_EQ(game.board.GameState, GamePhase::Running);
  EXPECT_TRUE(outside.calls.empty());
  Move(RevealMode{0}, 1, 1);
  EXPECT_EQ(outside.calls, S{"face 1"});
  EXPECT_EQ(game.board.GameState, GamePhase::Over);
}

}  // namespace
}  // namespace porteka::test
