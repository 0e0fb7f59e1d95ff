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
// fails loudly unless we quieten it.
TEST(NoSoundDevice, StartingPrintsNothing) {
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  STInit(0, 0);
  const SoundDeviceState state = WaitForSoundDevice(30000);
  const std::string out = testing::internal::GetCapturedStdout();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(state, SoundDeviceState::kStarting);
  EXPECT_EQ(out, "");
  EXPECT_EQ(err, "");
}

TEST(NoSoundDevice, EveryCallReturnsAndDoesNothing) {
  EXPECT_EQ(STInit(0, 0), 0);
  ASSERT_EQ(WaitForSoundDevice(30000), SoundDeviceState::kMute);
  EXPECT_EQ(STInit(0, 0), 0);
  const std::vector<uint8_t> image = test::ReadAsset("explosion.wav");
  EXPECT_EQ(STReadBytes(1, image.data(), 8), 0);
  EXPECT_EQ(STReadBytesChecked(1, image.data(), image.size(), 8), 0);
  LoadSounds(0, 101, "WAVE", 8);
  for (int round = 0; round < 8; ++round) {
    EXPECT_EQ(STPlay(0), 0);
    EXPECT_EQ(STPlay(1), 0);
    EXPECT_EQ(STPlay(2), 0);
  }
  EXPECT_EQ(SoundVoicesPlaying(1), 0);
}

}  // namespace
}  // namespace porteka
