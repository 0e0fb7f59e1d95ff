#include "rules_fixture.h"

namespace porteka::test {
namespace {

// When a loop turn runs a frame, across the clock's wrap, the clock_polls dump decides.
using FrameTest = RulesTest;

TEST_F(FrameTest, TheWaitUntilTheNextFrame) {
  EnterLoop(game, 0xfffffff0u);
  const std::pair<uint32_t, uint32_t> cases[] = {{0xfffffff0u, 34}, {0xffffffffu, 19}, {0x11, 1}, {0x12, 0}, {0x1000, 0}};
  for (const auto& [now, wait] : cases) EXPECT_EQ(MillisecondsToNextFrame(game, now), wait) << now;
}

TEST_F(FrameTest, TheClockAndCountersRunOnlyWhileTheGameRuns) {
  // At start-up there is no game; a dealt board waits for the first move,
  // which starts the clock even off the board.
  Frames(2);
  StartLevel(game, Level::Beginner);
  Frames(3);
  EXPECT_EQ(outside.CountPrefix("counters"), 1);  // the one the deal drew
  Picture1_MouseMove(game, 0, -5, -5);
  Frames(45);
  EXPECT_EQ(game.gro.ElapsedTime, 45);
  EXPECT_EQ(outside.calls[outside.calls.size() - 2], "counters Time 1.5 sec|Bom 10 ");

  // Once it ends the strip keeps its last values, marks or not.
  game.GameState = GamePhase::Over;
  outside.Clear();
  Picture1_MouseMove(game, kRightButton, 8, 8);
  Frames(5);
  EXPECT_EQ(game.gro.ElapsedTime, 45);
  EXPECT_EQ(game.BombsLeft, 9);
  EXPECT_EQ(outside.CountPrefix("counters"), 0);
}

// The marker blinks, every other frame, on the cell of the last press wherever it is.
TEST_F(FrameTest, TheMarkerBlinksOnTheCellOfTheLastPress) {
  StartLevel(game, Level::Beginner);
  Frames(4);
  EXPECT_EQ(outside.Count("marker 0 0"), 2);
  Picture1_MouseDown(game, 37.4f, 100.6f);
  Frames(2);
  EXPECT_EQ(outside.Count("marker 32 96"), 1);

  // A press left behind by a larger board still gets its marker, off this one.
  StartLevel(game, Level::Advanced);
  Picture1_MouseDown(game, 479.5f, 255.5f);
  StartLevel(game, Level::Beginner);
  Frames(2);
  EXPECT_EQ(outside.Count("marker 480 256"), 1);
}

}  // namespace
}  // namespace porteka::test
