#include "rules_fixture.h"

namespace porteka::test {
namespace {

// A corridor two rows high: columns 0 to 9 empty, column 10 shows 2, the two
// bombs in column 11.
const Rows kCorridor = {"...........*", "...........*"};

// The corridor with the columns from..to open and the rest covered.
Rows Corridor(int from, int to) {
  std::string row;
  for (int x = 0; x < 12; ++x) row += x < from || x > to ? '#' : x == 10 ? '2' : '.';
  return {row, row};
}

class FloodTest : public RulesTest {
 protected:
  void SetUp() override { DealCustom(kCorridor); }
};

// A flash fires in the pass that draws its frame 2. Spawned into a slot after
// the firing one it is drawn in that same pass, so the wave moves every frame
// (the flood_wave dump); spawned into a slot before it, it is drawn first in the
// next pass and fires in the one after: that step of the wave takes two frames.
TEST_F(FloodTest, FlashesThatLandInEarlierSlotsCostTheWaveAFrame) {
  // A hundred old flashes in their last frame hold the first slots.
  for (int i = 0; i < 100; ++i) game.effects.OpenEffects[i] = {10, 160, 0};
  Move(RevealMode::Uncover, 0, 0);
  Frames(1);  // the old flashes are drawn once more and free their slots
  outside.Clear();

  Frames(1);
  EXPECT_EQ(Picture(), Corridor(0, 2));
  EXPECT_EQ(game.effects.OpenEffects[0].Phase, 1);
  EXPECT_EQ(game.effects.OpenEffects[0].X, 0);  // cell (1, 0)
  EXPECT_EQ(outside.Take(), (S{"board", OpenAt(2, 0, 0), "sound 0", "sound 0", "sound 0", "sound 0", "sound 0",
                               "counters Time 0.06sec|Bom 2  ", "present"}));

  Frames(1);
  EXPECT_EQ(Picture(), Corridor(0, 2));
  EXPECT_EQ(outside.Take()[1], OpenAt(1, 1, 0));

  // From here on the new flashes go after the firing ones again.
  for (const int to : {4, 6, 8, 10}) {
    Frames(1);
    EXPECT_EQ(Picture(), Corridor(0, to)) << "to column " << to;
  }
  EXPECT_EQ(game.board.GameState, GamePhase::Over);
  EXPECT_EQ(game.gro.ElapsedTime, 6);
}

// The block around an empty flagged cell still opens the cells beyond it, so
// the wave goes on past a single column of flags, but two columns stop it.
TEST_F(FloodTest, TwoColumnsOfFlagsAndMarksStopTheWaveForGoodButOneDoesNot) {
  Move(RevealMode::CycleMark, 5, 0);
  Move(RevealMode::CycleMark, 5, 1);
  Move(RevealMode::Uncover, 0, 0);
  Frames(6);
  EXPECT_EQ(Picture(), (Rows{".....F....2#", ".....F....2#"}));
  EXPECT_EQ(game.board.GameState, GamePhase::Running);  // flagged safe cells must still be opened to win

  DealCustom(kCorridor);
  for (const auto& [x, y] : {std::pair{5, 0}, {5, 1}, {6, 0}, {6, 0}}) Move(RevealMode::CycleMark, x, y);
  State(6, 1) = Cover::KeyboardMark;
  Move(RevealMode::Uncover, 0, 0);
  Frames(33);
  EXPECT_EQ(Picture(), (Rows{".....F?#####", ".....FK#####"}));
  // Taking the marks off later does not bring the wave back.
  for (const auto& [x, y] : {std::pair{5, 0}, {5, 1}, {5, 0}, {5, 1}, {6, 0}, {6, 1}}) Move(RevealMode::CycleMark, x, y);
  Frames(30);
  EXPECT_EQ(Picture(), Corridor(0, 4));
}

}  // namespace
}  // namespace porteka::test
