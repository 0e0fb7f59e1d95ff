#include "rules_fixture.h"

namespace porteka::test {
namespace {

// When a loop turn runs a frame, across the clock's wrap, and how the clock
// and counters run, the clock_polls dump decides.
using FrameTest = RulesTest;

TEST_F(FrameTest, TheWaitUntilTheNextFrame) {
  EnterLoop(game, 0xfffffff0u);
  const std::pair<uint32_t, uint32_t> cases[] = {{0xfffffff0u, 34}, {0xffffffffu, 19}, {0x11, 1}, {0x12, 0}, {0x1000, 0}};
  for (const auto& [now, wait] : cases) EXPECT_EQ(MillisecondsToNextFrame(game, now), wait) << now;
}

// The marker blinks on the cell of the last press (the dumps' frames show it),
// even where a larger board left that press off this one.
TEST_F(FrameTest, AMarkerLeftOffASmallerBoardIsStillDrawnThere) {
  StartLevel(game, Level::Advanced);
  Picture1_MouseDown(game, 479.5f, 255.5f);
  StartLevel(game, Level::Beginner);
  Frames(2);
  EXPECT_EQ(outside.Count("marker 480 256"), 1);
}

}  // namespace
}  // namespace porteka::test
