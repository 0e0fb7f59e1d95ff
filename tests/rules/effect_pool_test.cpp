#include "rules_fixture.h"

namespace porteka::test {
namespace {

using EffectPoolTest = RulesTest;

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

// However the new board comes, the last board's effects are gone with it: an
// explosion in its first two passes and a flash whose trigger is still due
// neither draw on the new board nor open, blast or time anything there.
TEST_F(EffectPoolTest, ANewBoardStartsWithEmptyPools) {
  const std::pair<const char*, std::function<void()>> ways[] = {
      {"laid by hand", [&] { DealCustom({"....", ".*..", "....", "...."}); }},
      {"the same settings", [&] { StartGame(game); }},
      {"a fixed level", [&] { StartLevel(game, Level::Beginner); }},
      {"custom", [&] { StartCustomGame(game); }},
  };
  for (const auto& [way, deal] : ways) {
    SCOPED_TRACE(way);
    DealCustom(kSmall);
    Move(RevealMode::Uncover, 3, 0);  // empty neighbours: its flash would open them
    Move(RevealMode::Uncover, 0, 0);  // a bomb goes off
    Frames(1);
    ASSERT_EQ(game.Explosions[0].Phase, 2);
    ASSERT_EQ(game.OpenEffects[0].Phase, 2);
    deal();
    const auto values = game.CellValue;
    const auto states = game.CellState;
    outside.Clear();
    Frames(25);
    EXPECT_EQ(game.CellValue, values);  // the new board's bombs stay, no rubble
    EXPECT_EQ(game.CellState, states);
    EXPECT_EQ(game.GameState, GamePhase::Waiting);
    EXPECT_EQ(game.gro.ElapsedTime, 0);
    EXPECT_EQ(outside.CountPrefix("open") + outside.CountPrefix("explosion") + outside.CountPrefix("face") +
                  outside.CountPrefix("sound"),
              0);
  }
}

}  // namespace
}  // namespace porteka::test
