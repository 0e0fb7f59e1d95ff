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

class EffectPoolTest : public RulesTest {};

TEST_F(EffectPoolTest, SpawnsTakeTheLowestFreeSlot) {
  DealCustom({"...", ".*.", "..."});  // no empty cell, so no wave
  Move(kUncover, 0, 0);
  EXPECT_EQ(game.OpenEffects[0].Phase, 1);
  Frames(5);
  Move(kUncover, 2, 0);
  EXPECT_EQ(game.OpenEffects[1].Phase, 1);
  Frames(5);  // the first flash is done, the second is half way
  EXPECT_EQ(game.OpenEffects[0].Phase, 0);
  EXPECT_EQ(game.OpenEffects[1].Phase, 6);
  Move(kUncover, 2, 2);
  EXPECT_EQ(game.OpenEffects[0].Phase, 1);
  EXPECT_EQ(game.OpenEffects[0].X, 16);
  EXPECT_EQ(game.OpenEffects[0].Y, 16);
  EXPECT_EQ(game.OpenEffects[2].Phase, 0);
}

TEST_F(EffectPoolTest, AFullFlashPoolDropsTheFlashAndItsSoundButNotTheCell) {
  DealCustom(kSmall);
  for (EffectRecord& r : game.OpenEffects) r = {5, 400, 400};
  Move(kUncover, 3, 0);
  EXPECT_EQ(State(3, 0), kOpen);
  EXPECT_EQ(game.CoveredCount, 15);
  EXPECT_TRUE(outside.calls.empty());
  for (const EffectRecord& r : game.OpenEffects) ASSERT_EQ(r.Phase, 5);

  // Without its flash the empty cell never opens its neighbours.
  Frames(20);
  EXPECT_EQ(Picture(), (Rows{"###.", "####", "####", "####"}));
}

TEST_F(EffectPoolTest, AFullExplosionPoolDropsTheFaceTheEndAndTheSound) {
  DealCustom(kSmall);
  for (EffectRecord& r : game.Explosions) r = {5, 400, 400};
  Move(kUncover, 0, 0);
  EXPECT_EQ(State(0, 0), kOpen);
  EXPECT_EQ(Value(0, 0), kBomb);
  EXPECT_EQ(game.CoveredCount, 16);
  EXPECT_EQ(game.GameState, 0);
  EXPECT_TRUE(outside.calls.empty());
  for (const EffectRecord& r : game.Explosions) ASSERT_EQ(r.Phase, 5);

  // The game goes on, and the clock with it.
  Frames(1);
  EXPECT_EQ(game.gro.ElapsedTime, 1);
}

TEST_F(EffectPoolTest, AnOldFlashOpensAroundTheSameCellOfANewBoardAndStartsItsClock) {
  DealCustom(kSmall);
  Move(kUncover, 3, 0);
  Frames(1);
  DealCustom({"....",
              "....",
              "....",
              "...*"});
  EXPECT_EQ(game.GameState, -1);
  Frames(1);
  // The flash's cell is not opened for its own sake, only by its neighbours' blocks.
  EXPECT_EQ(Picture(), (Rows{"#...", "#...", "#.11", "####"}));
  EXPECT_EQ(game.GameState, 0);
  EXPECT_EQ(game.gro.ElapsedTime, 1);
  EXPECT_EQ(outside.Count("counters Time 0.03sec|Bom 1  "), 1);
}

TEST_F(EffectPoolTest, AnOldFlashWithNoEmptyNeighbourLeavesTheNewBoardWaiting) {
  DealCustom(kSmall);
  Move(kUncover, 3, 0);
  Frames(1);
  DealCustom({"..*.",
              "....",
              "....",
              "...."});
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
  DealCustom({"....",
              "....",
              "....",
              "...*"});
  Frames(1);
  // The bomb's own cell is not revealed again: on the new board it stays covered.
  EXPECT_EQ(Picture(), (Rows{"#x+#", "xx+#", "++##", "####"}));
  EXPECT_EQ(game.GameState, 0);
  EXPECT_EQ(game.gro.ElapsedTime, 1);
  EXPECT_EQ(outside.Count("face 2"), 0);

  // And it can blow up the new board's bombs.
  DealCustom(kSmall);
  Move(kUncover, 3, 3);
  Frames(1);
  DealCustom({"....",
              "..*.",
              "....",
              "...."});
  Frames(1);
  EXPECT_EQ(State(2, 1), kOpen);
  EXPECT_EQ(game.GameState, 1);
  EXPECT_EQ(outside.Count("face 2"), 1);
}

TEST_F(EffectPoolTest, EffectsLeftOffASmallerBoardTouchNothing) {
  StartLevel(game, kBeginner);
  // (9, 9) is two cells from the board's last corner, diagonally: out of reach.
  game.Explosions[7] = {2, 16 * 9 - 52, 16 * 9 - 52};
  game.OpenEffects[9] = {2, 16 * 20 - 16, 16 * 3 - 16};
  game.OpenEffects[10] = {2, 16 * 31 - 16, 16 * 31 - 16};
  const auto before = game.CellState;
  Frames(3);
  EXPECT_EQ(game.CellState, before);
  EXPECT_EQ(game.GameState, -1);
}

TEST_F(EffectPoolTest, EveryPhaseIsDrawnOnceAndTheSlotFreedAfterTheLast) {
  DealCustom(kSmall);
  Move(kUncover, 0, 0);
  Move(kUncover, 2, 2);
  Frames(25);
  S open, blast;
  for (const std::string& c : outside.calls) {
    if (c.starts_with("open ")) open.push_back(c);
    if (c.starts_with("explosion ")) blast.push_back(c);
  }
  S wantOpen, wantBlast;
  for (int p = 1; p <= 10; ++p) wantOpen.push_back(OpenAt(p, 2, 2));
  for (int p = 1; p <= 20; ++p) wantBlast.push_back(ExplosionAt(p, 0, 0));
  // The flood and the blast add flashes of their own in between; the first
  // flash still shows each of its ten frames once.
  EXPECT_EQ(S(open.begin(), open.begin() + 2), S(wantOpen.begin(), wantOpen.begin() + 2));
  EXPECT_EQ(blast, wantBlast);
  EXPECT_EQ(std::count(open.begin(), open.end(), OpenAt(10, 2, 2)), 1);
  EXPECT_EQ(std::count(open.begin(), open.end(), OpenAt(11, 2, 2)), 0);
  for (const EffectRecord& r : game.OpenEffects) EXPECT_EQ(r.Phase, 0);
  for (const EffectRecord& r : game.Explosions) EXPECT_EQ(r.Phase, 0);
}

}  // namespace
}  // namespace porteka::test
