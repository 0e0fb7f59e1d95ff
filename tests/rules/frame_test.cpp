#include "rules_fixture.h"

namespace porteka::test {
namespace {

class FrameTest : public RulesTest {
 protected:
  // Runs loop turns at each reading and says which of them ran a frame.
  std::vector<bool> Turns(std::initializer_list<uint32_t> readings) {
    std::vector<bool> ran;
    for (const uint32_t now : readings) {
      const int before = outside.Count("present");
      const bool frame = LoopTurn(game, outside, now);
      EXPECT_EQ(outside.Count("present") - before, frame ? 1 : 0);
      ran.push_back(frame);
    }
    return ran;
  }
};

TEST_F(FrameTest, AFrameRunsOnceMoreThanThirtyThreeMillisecondsHavePassed) {
  struct Case {
    uint32_t start;
    std::initializer_list<uint32_t> readings;
    std::vector<bool> ran;
  };
  const Case cases[] = {
      {1000, {1000, 1001, 1033, 1034, 1035, 1067, 1068}, {false, false, false, true, false, false, true}},
      // A late frame is not caught up, and the next is timed from its own start.
      {0, {5000, 5001, 5033, 5034}, {true, false, false, true}},
      // The clock wrapping neither stalls nor bursts.
      {0xfffffff0u, {0xfffffff1u, 0x11u, 0x12u, 0x13u, 0x33u, 0x34u}, {false, false, true, false, false, true}},
      {0xffffffdeu, {0xffffffdfu, 0xffffffffu, 0u, 1u, 0x21u, 0x22u}, {false, false, true, false, false, true}},
      {0x7ffffff0u, {0x7ffffff1u, 0x80000011u, 0x80000012u, 0x80000013u, 0x80000033u, 0x80000034u},
       {false, false, true, false, false, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start);
    EnterLoop(game, c.start);
    EXPECT_EQ(game.LoopRunning, 1);
    EXPECT_EQ(Turns(c.readings), c.ran);
  }
  EXPECT_EQ(game.LastFrameTime, 0x80000034u);
}

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

  // The blink carries over from game to game.
  Frames(1);
  StartLevel(game, Level::Intermediate);
  outside.Clear();
  Frames(2);
  EXPECT_EQ(outside.calls[1], "present");
  EXPECT_EQ(outside.CountPrefix("marker"), 1);
}

}  // namespace
}  // namespace porteka::test
