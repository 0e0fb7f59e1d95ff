#include "rules_fixture.h"

namespace porteka::test {
namespace {

using ChainTest = RulesTest;

TEST_F(ChainTest, AnExplosionBlastsTwoRingsAndLeavesTheCornersOfItsSquare) {
  DealCustom({".......", ".......", ".......", "...*...", ".......", ".......", "......."});
  Move(RevealMode::Uncover, 3, 3);
  // The pass that draws frame 2 blasts the square, when the chain_reaction
  // dump shows: the eight inner cells row by row, then the outer ring in its
  // own order, each with a flash.
  Frames(2);
  EXPECT_EQ(Picture(), (Rows{"#######", "##+++##", "#+xxx+#", "#+x*x+#", "#+xxx+#", "##+++##", "#######"}));
  const std::pair<int, int> order[] = {{2, 2}, {3, 2}, {4, 2}, {2, 3}, {4, 3}, {2, 4}, {3, 4},
                                       {4, 4}, {2, 1}, {2, 5}, {1, 2}, {5, 2}, {3, 1}, {3, 5},
                                       {1, 3}, {5, 3}, {4, 1}, {4, 5}, {1, 4}, {5, 4}};
  for (size_t i = 0; i < std::size(order); ++i) {
    EXPECT_EQ(game.effects.OpenEffects[i].X, 16 * order[i].first - 16) << i;
    EXPECT_EQ(game.effects.OpenEffects[i].Y, 16 * order[i].second - 16) << i;
  }

  // The rubble's flashes fire and open around the empty cells beyond: the
  // corners open as plain empty cells, not rubble.
  Frames(2);
  EXPECT_EQ(Picture(), (Rows{".......", "..+++..", ".+xxx+.", ".+x*x+.", ".+xxx+.", "..+++..", "......."}));
  // Every safe cell is open, but an exploded game is not won afterwards.
  EXPECT_EQ(game.board.CoveredCount, game.gro.BombCount);
  EXPECT_EQ(outside.Count("face 1"), 0);
  EXPECT_EQ(game.board.GameState, GamePhase::Over);
}

}  // namespace
}  // namespace porteka::test
