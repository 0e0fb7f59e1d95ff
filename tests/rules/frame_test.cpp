#include "rules_fixture.h"

namespace porteka::test {
namespace {

// When a loop turn runs a frame, across the clock's wrap, and how the clock
// and counters run, the clock_polls dump decides; where the marker blinks, the
// dumps' frames show.
using FrameTest = RulesTest;

TEST_F(FrameTest, TheWaitUntilTheNextFrame) {
  EnterLoop(game.loop, 0xfffffff0u);
  const std::pair<uint32_t, uint32_t> cases[] = {{0xfffffff0u, 34}, {0xffffffffu, 19}, {0x11, 1}, {0x12, 0}, {0x1000, 0}};
  for (const auto& [now, wait] : cases) EXPECT_EQ(MillisecondsToNextFrame(game.loop, now), wait) << now;
}

}  // namespace
}  // namespace porteka::test
