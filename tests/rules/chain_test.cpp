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

}  // namespace
}  // namespace porteka::test
