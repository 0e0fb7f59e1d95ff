#include <gtest/gtest.h>

#include "desktop/out_of_memory.h"

// The test programs that open windows run in one application of the game's
// own kind (memory running out ends it the game's way), on the offscreen
// platform with a screen large enough for every zoom of the smaller boards,
// without a sound device.
int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" PORTEKA_TEST_SCREEN);
  qputenv("SDL_AUDIODRIVER", "dummy");
  porteka::GameApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
