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

// Each flash fires in the pass that draws its frame 2 and opens the blocks
// around its empty neighbours, two columns on. While every flash it spawns
// lands in a slot after its own, the new flashes are drawn in that same pass
// and fire in the next one, so the wave moves on every frame.
TEST_F(FloodTest, AWaveWhoseFlashesLandInLaterSlotsMovesEveryFrame) {
  Move(RevealMode::Uncover, 0, 0);
  EXPECT_EQ(outside.Take(), S{"sound 0"});

  Frames(1);
  EXPECT_EQ(Picture(), (Rows{".###########", "############"}));
  EXPECT_EQ(outside.Take(), (S{"board", "open 1 -16 -16", "marker 0 0", "counters Time 0.03sec|Bom 2  ", "present"}));

  Frames(1);
  EXPECT_EQ(Picture(), Corridor(0, 2));
  // The five new flashes take slots 1 to 5, after the firing one: drawn now.
  EXPECT_EQ(outside.Take(), (S{"board", OpenAt(2, 0, 0), "sound 0", "sound 0", "sound 0", "sound 0", "sound 0",
                               OpenAt(1, 1, 0), OpenAt(1, 2, 0), OpenAt(1, 0, 1), OpenAt(1, 1, 1),
                               OpenAt(1, 2, 1), "counters Time 0.06sec|Bom 2  ", "present"}));

  for (const int to : {4, 6, 8, 10}) {
    EXPECT_EQ(game.GameState, GamePhase::Running);
    Frames(1);
    EXPECT_EQ(Picture(), Corridor(0, to)) << "to column " << to;
  }
  // Frame 6 won halfway through the walk: the clock stopped before counting it.
  EXPECT_EQ(game.GameState, GamePhase::Over);
  EXPECT_EQ(game.gro.ElapsedTime, 5);
}

// A flash spawned into a slot before the firing one is drawn first in the
// next pass and fires in the one after: that step of the wave takes two frames.
TEST_F(FloodTest, FlashesThatLandInEarlierSlotsCostTheWaveAFrame) {
  // A hundred old flashes in their last frame hold the first slots.
  for (int i = 0; i < 100; ++i) game.OpenEffects[i] = {10, 160, 0};
  Move(RevealMode::Uncover, 0, 0);
  Frames(1);  // the old flashes are drawn once more and free their slots
  outside.Clear();

  Frames(1);
  EXPECT_EQ(Picture(), Corridor(0, 2));
  EXPECT_EQ(game.OpenEffects[0].Phase, 1);
  EXPECT_EQ(game.OpenEffects[0].X, 0);  // cell (1, 0)
  EXPECT_EQ(outside.CountPrefix("open "), 1);
  outside.Clear();

  Frames(1);
  EXPECT_EQ(Picture(), Corridor(0, 2));
  EXPECT_EQ(outside.Take()[1], OpenAt(1, 1, 0));

  // From here on the new flashes go after the firing ones again.
  for (const int to : {4, 6, 8, 10}) {
    Frames(1);
    EXPECT_EQ(Picture(), Corridor(0, to)) << "to column " << to;
  }
  EXPECT_EQ(game.GameState, GamePhase::Over);
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
  EXPECT_EQ(game.GameState, GamePhase::Running);  // flagged safe cells must still be opened to win

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

TEST_F(FloodTest, ANumberedCellOpensTheEmptyRegionBehindIt) {
  Move(RevealMode::Uncover, 10, 0);
  Frames(1);
  EXPECT_EQ(Picture(), (Rows{"##########2#", "############"}));
  for (const int from : {8, 6, 4, 2, 0}) {
    Frames(1);
    EXPECT_EQ(Picture(), Corridor(from, 10)) << "from column " << from;
  }
  EXPECT_EQ(game.GameState, GamePhase::Over);
  EXPECT_EQ(outside.Count("face 1"), 1);
}

// The bombs sit two cells from the middle, so the middle cell is empty but
// every one of its neighbours shows a number.
const Rows kRing = {"..*..", ".....", "*...*", ".....", "..*.."};

TEST_F(FloodTest, AnEmptyCellWithNoEmptyNeighbourOpensNothing) {
  DealCustom(kRing);
  Move(RevealMode::Uncover, 2, 2);
  Frames(12);
  EXPECT_EQ(Picture(), (Rows{"#####", "#####", "##.##", "#####", "#####"}));

  // Opening a neighbour opens the others through the middle cell's block,
  // although that cell is already open; the corners follow a frame later.
  Move(RevealMode::Uncover, 1, 2);
  Frames(1);
  EXPECT_EQ(Picture(), (Rows{"#####", "#####", "#1.##", "#####", "#####"}));
  Frames(1);
  EXPECT_EQ(Picture(), (Rows{"#####", "#212#", "#1.1#", "#212#", "#####"}));
  Frames(1);
  EXPECT_EQ(Picture(), (Rows{".1#1.", "12121", "#1.1#", "12121", ".1#1."}));
  EXPECT_EQ(game.GameState, GamePhase::Over);
}

// Beginner, with every bomb on the right: one empty region holds all the
// safe cells, so the wave that starts in the top left wins the game.
const Rows kRightBombs = {"......**", "......**", ".......*", ".......*",
                          ".......*", ".......*", ".......*", ".......*"};

TEST_F(FloodTest, AWaveThatOpensTheLastSafeCellWinsInTheMiddleOfTheFrame) {
  DealLevel(Level::Beginner, kRightBombs);
  GamePhase stateAtRecord{99};
  int32_t timeAtRecord = -1;
  outside.onCheckRecord = [&] { stateAtRecord = game.GameState, timeAtRecord = game.gro.ElapsedTime; };
  Move(RevealMode::Uncover, 0, 0);
  Frames(4);
  EXPECT_EQ(Picture(), (Rows{".....2##", ".....2##", ".....14#", "......3#",
                             "......3#", "......3#", "......3#", "########"}));
  outside.Clear();

  Frames(1);
  EXPECT_EQ(game.CoveredCount, 10);
  EXPECT_EQ(stateAtRecord, GamePhase::Over);
  EXPECT_EQ(timeAtRecord, 4);
  EXPECT_EQ(game.gro.ElapsedTime, 4);

  // The face and the records check come from inside the walk: flashes are
  // drawn before them and after them, then the rest of the frame.
  const S calls = outside.Take();
  const auto face = std::find(calls.begin(), calls.end(), "face 1");
  ASSERT_NE(face, calls.end());
  ASSERT_NE(face + 1, calls.end());
  EXPECT_EQ(*(face + 1), "record");
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "record"), 1);
  EXPECT_TRUE(std::any_of(calls.begin(), face, [](const std::string& c) { return c.starts_with("open "); }));
  EXPECT_TRUE(std::any_of(face + 2, calls.end(), [](const std::string& c) { return c.starts_with("open "); }));
  EXPECT_EQ(S(calls.end() - 2, calls.end()), (S{"marker 0 0", "present"}));  // no counters after a win
}

}  // namespace
}  // namespace porteka::test
