#include "rules_fixture.h"

namespace porteka::test {
namespace {

using S = std::vector<std::string>;

class FrameTest : public RulesTest {
 protected:
  // Runs loop turns at each reading and says which of them ran a frame.
  std::vector<bool> Turns(std::initializer_list<uint32_t> readings) {
    std::vector<bool> ran;
    for (const uint32_t now : readings) {
      const int before = outside.Count("present");
      const bool frame = LoopTurn(game, now);
      EXPECT_EQ(outside.Count("present") - before, frame ? 1 : 0);
      ran.push_back(frame);
    }
    return ran;
  }
};

TEST_F(FrameTest, AFrameRunsOnceMoreThanThirtyThreeMillisecondsHavePassed) {
  EnterLoop(game, 1000);
  EXPECT_EQ(game.LoopRunning, 1);
  EXPECT_EQ(game.LastFrameTime, 1000u);
  EXPECT_EQ(Turns({1000, 1001, 1033, 1034, 1035, 1067, 1068}),
            (std::vector<bool>{false, false, false, true, false, false, true}));
  EXPECT_EQ(game.LastFrameTime, 1068u);
}

TEST_F(FrameTest, ALateFrameIsNotCaughtUpAndTimesTheNextFromItsOwnStart) {
  EnterLoop(game, 0);
  EXPECT_EQ(Turns({5000, 5001, 5033, 5034}), (std::vector<bool>{true, false, false, true}));
}

TEST_F(FrameTest, TheClockWrappingNeitherStallsNorBursts) {
  for (const uint32_t start : {0xfffffff0u, 0x7ffffff0u, 0xffffffdeu}) {
    SCOPED_TRACE(start);
    EnterLoop(game, start);
    EXPECT_EQ(Turns({start + 1, start + 33, start + 34, start + 35, start + 67, start + 68}),
              (std::vector<bool>{false, false, true, false, false, true}));
  }
}

TEST_F(FrameTest, TheWaitUntilTheNextFrame) {
  EnterLoop(game, 0xfffffff0u);
  EXPECT_EQ(MillisecondsToNextFrame(game, 0xfffffff0u), 34u);
  EXPECT_EQ(MillisecondsToNextFrame(game, 0xffffffffu), 19u);
  EXPECT_EQ(MillisecondsToNextFrame(game, 0x00000011u), 1u);
  EXPECT_EQ(MillisecondsToNextFrame(game, 0x00000012u), 0u);
  EXPECT_EQ(MillisecondsToNextFrame(game, 0x00001000u), 0u);
}

TEST_F(FrameTest, AFrameDrawsTheBoardTheEffectsTheMarkerTheCountersThenPresents) {
  StartLevel(game, kBeginner);
  game.OpenEffects[0] = {4, 16, 16};  // past its trigger
  game.Explosions[0] = {20, -52, -52};
  Picture1_MouseMove(game, 0, 0, 8, 8);  // starts the clock
  outside.Clear();
  Frames(1);
  EXPECT_EQ(outside.Take(), (S{"board", "open 4 16 16", "explosion 20 -52 -52", "marker 0 0",
                               "counters Time 0.03sec|Bom 10 ", "present"}));
  Frames(1);
  EXPECT_EQ(outside.Take(), (S{"board", "open 5 16 16", "counters Time 0.06sec|Bom 10 ", "present"}));
  Frames(1);
  EXPECT_EQ(outside.Take(), (S{"board", "open 6 16 16", "marker 0 0", "counters Time 0.1 sec|Bom 10 ", "present"}));
}

TEST_F(FrameTest, TheClockAndCountersRunOnlyWhileTheGameRuns) {
  // At start-up there is no game: frames draw but the strip stays as it is.
  Frames(2);
  EXPECT_EQ(outside.CountPrefix("counters"), 0);
  EXPECT_EQ(outside.Count("board"), 2);

  StartLevel(game, kBeginner);
  outside.Clear();
  Frames(3);  // dealt but waiting
  EXPECT_EQ(game.gro.ElapsedTime, 0);
  EXPECT_EQ(outside.CountPrefix("counters"), 0);

  Picture1_MouseMove(game, 0, 0, -5, -5);  // off the board still starts it
  Frames(45);
  EXPECT_EQ(game.gro.ElapsedTime, 45);
  EXPECT_EQ(outside.calls[outside.calls.size() - 2], "counters Time 1.5 sec|Bom 10 ");

  // Once it ends the strip keeps its last values, marks or not.
  game.GameState = 1;
  outside.Clear();
  Picture1_MouseMove(game, 2, 0, 8, 8);
  Frames(5);
  EXPECT_EQ(game.gro.ElapsedTime, 45);
  EXPECT_EQ(outside.CountPrefix("counters"), 0);
  EXPECT_EQ(game.BombsLeft, 9);
}

TEST_F(FrameTest, TheMarkerBlinksOnTheCellOfTheLastPressWhereverItIs) {
  StartLevel(game, kBeginner);
  Frames(4);
  EXPECT_EQ(outside.Count("marker 0 0"), 2);

  Picture1_MouseDown(game, 1, 0, 37.4f, 100.6f);
  outside.Clear();
  Frames(2);
  EXPECT_EQ(outside.Count("marker 32 96"), 1);

  // A press left behind by a larger board still gets its marker, off this one.
  StartLevel(game, kAdvanced);
  Picture1_MouseDown(game, 1, 0, 479.5f, 255.5f);
  StartLevel(game, kBeginner);
  outside.Clear();
  Frames(2);
  EXPECT_EQ(outside.Count("marker 480 256"), 1);
}

TEST_F(FrameTest, TheBlinkCarriesOverFromGameToGame) {
  StartLevel(game, kBeginner);
  Frames(1);
  EXPECT_EQ(game.CursorBlink, 1);
  StartLevel(game, kIntermediate);
  outside.Clear();
  Frames(1);
  EXPECT_EQ(outside.CountPrefix("marker"), 0);
  Frames(1);
  EXPECT_EQ(outside.CountPrefix("marker"), 1);
}

}  // namespace
}  // namespace porteka::test
