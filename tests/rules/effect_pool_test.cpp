#include "rules_fixture.h"

namespace porteka::test {
namespace {

using EffectPoolTest = RulesTest;

// A new board empties the pools: the new_board_mid_chain dump shows it.
TEST_F(EffectPoolTest, FullPoolsDropTheEffectAndEverythingItWouldSayButNotTheCell) {
  DealCustom(kSmall);
  for (EffectRecord& r : game.OpenEffects) r = {5, 400, 400};
  Move(RevealMode::Uncover, 3, 0);
  EXPECT_EQ(game.CoveredCount, 15);
  EXPECT_TRUE(outside.calls.empty());
  for (const EffectRecord& r : game.OpenEffects) ASSERT_EQ(r.Phase, 5);
  // Without its flash the empty cell never opens its neighbours.
  Frames(20);
  EXPECT_EQ(Picture(), (Rows{"###.", "####", "####", "####"}));

  // No explosion: no losing face, no sound, and the game and its clock go on.
  DealCustom(kSmall);
  for (EffectRecord& r : game.Explosions) r = {5, 400, 400};
  Move(RevealMode::Uncover, 0, 0);
  EXPECT_EQ(Picture()[0], "*###");
  EXPECT_EQ(game.CoveredCount, 16);
  EXPECT_EQ(game.GameState, GamePhase::Running);
  EXPECT_TRUE(outside.calls.empty());
  for (const EffectRecord& r : game.Explosions) ASSERT_EQ(r.Phase, 5);
  Frames(1);
  EXPECT_EQ(game.gro.ElapsedTime, 1);
}

}  // namespace
}  // namespace porteka::test
