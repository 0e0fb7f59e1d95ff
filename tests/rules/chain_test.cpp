#include "rules_fixture.h"

namespace porteka::test {
namespace {

using ChainTest = RulesTest;

TEST_F(ChainTest, AnExplosionBlastsTwoRingsAndLeavesTheCornersOfItsSquare) {
  DealCustom({".......", ".......", ".......", "...*...", ".......", ".......", "......."});
  Move(RevealMode::Uncover, 3, 3);
  EXPECT_EQ(outside.Take(), (S{"face 2", "sound 1"}));

  Frames(1);
  EXPECT_EQ(outside.Take(), (S{"board", "explosion 1 -4 -4", "marker 0 0", "present"}));

  // The pass that draws frame 2 fires: eight inner cells row by row, then the
  // outer ring in its own order. Their flashes belong to the pool walked
  // before the explosions, so they are first drawn in the next pass.
  Frames(1);
  S want(23, "sound 0");
  want.front() = "board", want[1] = "explosion 2 -4 -4", want.back() = "present";
  EXPECT_EQ(outside.Take(), want);
  EXPECT_EQ(Picture(), (Rows{"#######", "##+++##", "#+xxx+#", "#+x*x+#", "#+xxx+#", "##+++##", "#######"}));
  const std::pair<int, int> order[] = {{2, 2}, {3, 2}, {4, 2}, {2, 3}, {4, 3}, {2, 4}, {3, 4},
                                       {4, 4}, {2, 1}, {2, 5}, {1, 2}, {5, 2}, {3, 1}, {3, 5},
                                       {1, 3}, {5, 3}, {4, 1}, {4, 5}, {1, 4}, {5, 4}};
  S flashes = {"board"};
  for (const auto& [x, y] : order) flashes.push_back(OpenAt(1, x, y));
  flashes.insert(flashes.end(), {"explosion 3 -4 -4", "marker 0 0", "present"});

  Frames(1);
  EXPECT_EQ(outside.Take(), flashes);

  // The rubble's flashes fire and open around the empty cells beyond: the
  // corners open as plain empty cells, not rubble.
  Frames(1);
  EXPECT_EQ(Picture(), (Rows{".......", "..+++..", ".+xxx+.", ".+x*x+.", ".+xxx+.", "..+++..", "......."}));
  // Every safe cell is open, but an exploded game is not won afterwards.
  EXPECT_EQ(game.CoveredCount, game.gro.BombCount);
  EXPECT_EQ(outside.Count("face 1"), 0);
  EXPECT_EQ(game.GameState, GamePhase::Over);
}

// Bombs: B1 (2,2) set off by the player; B2 (4,2) two cells from it; B3 (5,3)
// next to B2; a second-marked bomb (7,2) two cells from B3; a flagged bomb
// (3,1) next to B1 and B2; a keyboard-marked bomb (6,4) next to B3; and (11,4)
// out of everyone's reach.
const Rows kChain = {"............", "...*........", "..*.*..*....", ".....*......", "......*....*"};

TEST_F(ChainTest, EachBombOfAChainGoesOffTheFrameAfterTheLastAndFlaggedBombsAreLeftAlone) {
  DealCustom(kChain);
  State(3, 1) = Cover::Flag;
  State(6, 4) = Cover::KeyboardMark;
  State(7, 2) = Cover::SecondMark;
  Move(RevealMode::Uncover, 2, 2);
  const std::pair<int, int> bombs[] = {{4, 2}, {5, 3}, {7, 2}};
  Frames(1);
  for (const auto& [x, y] : bombs) EXPECT_EQ(State(x, y), y == 2 && x == 7 ? Cover::SecondMark : Cover::Covered);

  for (size_t step = 0; step < std::size(bombs); ++step) {
    Frames(1);
    for (size_t i = 0; i < std::size(bombs); ++i) {
      const auto& [x, y] = bombs[i];
      EXPECT_EQ(State(x, y) == Cover::Open, i <= step) << "frame " << step + 2 << " bomb " << i;
    }
    EXPECT_EQ(outside.Count("face 2"), static_cast<int>(step) + 2);
  }
  // Phases after frame 4: each explosion one pass younger than the one before.
  for (int i = 0; i < 4; ++i) EXPECT_EQ(game.Explosions[i].Phase, 5 - i) << i;
  EXPECT_EQ(game.Explosions[3].X, 16 * 7 - 52);

  Frames(30);
  // Inner rubble wins wherever the squares overlap; the corners open plain.
  EXPECT_EQ(Picture(), (Rows{".++++++++...", "+xxFxxxxx+..", "+x*x*xx*x+..", "+xxxx*xxx+11", ".+++xxK++.1#"}));
  EXPECT_EQ(Value(3, 1) + Value(6, 4), 2 * kBomb);
  EXPECT_EQ(outside.Count("face 2"), 4);
  EXPECT_EQ(outside.Count("sound 1"), 4);
  EXPECT_EQ(game.GameState, GamePhase::Over);
  for (const EffectRecord& r : game.Explosions) EXPECT_EQ(r.Phase, 0);
}

}  // namespace
}  // namespace porteka::test
