// With no way to make sound the library turns mute: every call returns, and
// nothing is printed, as the game must run on in silence.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sound/load_sounds.h"
#include "sound/sound_device_status.h"
#include "sound/stools.h"
#include "tests/sound/sound_test_files.h"

namespace porteka {
namespace {

// Also run with the ALSA driver, which on a machine without a sound card
// fails loudly unless we quieten it, and with whatever driver SDL picks.
TEST(NoSoundDevice, StartingPrintsNothing) {
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  STInit(0, 0);
  const SoundDeviceState state = WaitForSoundDevice(30000);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_NE(state, SoundDeviceState::kStarting);
}

TEST(NoSoundDevice, EveryCallReturnsAndDoesNothing) {
  const std::vector<uint8_t> image = test::ReadAsset("explosion.wav");
  // Before the start (when this test runs on its own) as after it failed.
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(STReadBytes(1, image.data(), 8), 0);
    EXPECT_EQ(STReadBytesChecked(1, image.data(), image.size(), 8), 0);
    LoadSounds(0, 101, "WAVE", 8);
    for (int32_t slot : {0, 1, 2}) EXPECT_EQ(STPlay(slot), 0);
    EXPECT_EQ(SoundVoicesPlaying(1), 0);
    EXPECT_EQ(STInit(0, 0), 0);
    ASSERT_EQ(WaitForSoundDevice(30000), SoundDeviceState::kMute);
  }
}

}  // namespace
}  // namespace porteka
