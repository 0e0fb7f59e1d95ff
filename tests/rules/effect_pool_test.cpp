#include "rules_fixture.h"

namespace porteka::test {
namespace {

using EffectPoolTest = RulesTest;

TEST_F(EffectPoolTest, FullPoolsDropTheEffectAndEverythingItWouldSayButNotTheCell) {
  DealCustom(kSmall);
  for (EffectRecord& r : game.OpenEffects) r = {5, 400, 400};
  Move(kUncover, 3, 0);
  EXPECT_EQ(game.CoveredCount, 15);
  EXPECT_TRUE(outside.calls.empty());
  for (const EffectRecord& r : game.OpenEffects) ASSERT_EQ(r.Phase, 5);
  // Without its flash the empty cell never opens its neighbours.
  Frames(20);
  EXPECT_EQ(Picture(), (Rows{"###.", "####", "####", "####"}));

  // No explosion: no losing face, no sound, and the game and its clock go on.
  DealCustom(kSmall);
  for (EffectRecord& r : game.Explosions) r = {5, 400, 400};
  Move(kUncover, 0, 0);
  EXPECT_EQ(Picture()[0], "*###");
  EXPECT_EQ(game.CoveredCount, 16);
  EXPECT_EQ(game.GameState, 0);
  EXPECT_TRUE(outside.calls.empty());
  for (const EffectRecord& r : game.Explosions) ASSERT_EQ(r.Phase, 5);
  Frames(1);
  EXPECT_EQ(game.gro.ElapsedTime, 1);
}

// A flash left from the old board opens around the same cell of the new one,
// though not the cell itself: only its neighbours' blocks do that.
TEST_F(EffectPoolTest, AnOldFlashActsOnTheNewBoardAndStartsItsClock) {
  DealCustom(kSmall);
  Move(kUncover, 3, 0);
  Frames(1);
  DealCustom({"....", "....", "....", "...*"});
  EXPECT_EQ(game.GameState, -1);
  Frames(1);
  EXPECT_EQ(Picture(), (Rows{"#...", "#...", "#.11", "####"}));
  EXPECT_EQ(game.GameState, 0);
  EXPECT_EQ(game.gro.ElapsedTime, 1);
  EXPECT_EQ(outside.Count("counters Time 0.03sec|Bom 1  "), 1);

  // With no empty neighbour there it does nothing and the board keeps waiting.
  ClearEffects();
  DealCustom(kSmall);
  Move(kUncover, 3, 0);
  Frames(1);
  DealCustom({"..*.", "....", "....", "...."});
  Frames(12);
  EXPECT_EQ(game.GameState, -1);
  EXPECT_EQ(game.gro.ElapsedTime, 0);
  EXPECT_EQ(game.CoveredCount, 16);
  EXPECT_EQ(outside.CountPrefix("counters"), 0);
}

TEST_F(EffectPoolTest, AnOldExplosionBlastsTheNewBoardAroundItsCell) {
  DealCustom(kSmall);
  Move(kUncover, 0, 0);
  Frames(1);
  DealCustom({"....", "....", "....", "...*"});
  Frames(1);
  // The bomb's own cell is not revealed again: on the new board it stays covered.
  EXPECT_EQ(Picture(), (Rows{"#x+#", "xx+#", "++##", "####"}));
  EXPECT_EQ(game.GameState, 0);
  EXPECT_EQ(game.gro.ElapsedTime, 1);
  EXPECT_EQ(outside.Count("face 2"), 0);

  // And it can blow up the new board's bombs.
  ClearEffects();
  DealCustom(kSmall);
  Move(kUncover, 3, 3);
  Frames(1);
  DealCustom({"....", "..*.", "....", "...."});
  Frames(1);
  EXPECT_EQ(State(2, 1), kOpen);
  EXPECT_EQ(game.GameState, 1);
  EXPECT_EQ(outside.Count("face 2"), 1);
}

TEST_F(EffectPoolTest, EveryPhaseIsDrawnOnceAndTheSlotFreedAfterTheLast) {
  DealCustom(kSmall);
  Move(kUncover, 0, 0);
  Move(kUncover, 2, 2);
  Frames(25);
  // The flood and the blast add flashes of their own in between.
  EXPECT_EQ(outside.CountPrefix("explosion"), 20);
  for (int p = 1; p <= 21; ++p) EXPECT_EQ(outside.Count(ExplosionAt(p, 0, 0)), p <= 20) << p;
  for (int p = 1; p <= 11; ++p) EXPECT_EQ(outside.Count(OpenAt(p, 2, 2)), p <= 10) << p;
  for (const EffectRecord& r : game.OpenEffects) EXPECT_EQ(r.Phase, 0);
  for (const EffectRecord& r : game.Explosions) EXPECT_EQ(r.Phase, 0);
}

}  // namespace
}  // namespace porteka::test
