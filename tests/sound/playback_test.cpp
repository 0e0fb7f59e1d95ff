// The sound library on SDL's dummy driver, which consumes sound in real time
// without a device: loading, playing, voices and bad input.

#include <gtest/gtest.h>

#include <vector>

#include "sound/load_sounds.h"
#include "sound/sound_device_status.h"
#include "sound/stools.h"
#include "sound/wave_image.h"
#include "tests/sound/sound_test_files.h"

namespace porteka {
namespace {

constexpr int32_t kOpen = 0;
constexpr int32_t kExplosion = 1;
constexpr int32_t kMark = 2;

// Ten seconds of a quiet tone: still sounding whenever a test looks, however
// slowly the machine runs.
std::vector<uint8_t> LongSoundImage() {
  std::vector<uint8_t> samples(11025 * 10);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = (i / 10) % 2 == 0 ? 120 : 136;
  return WriteWaveImage({1, 11025, 8}, samples);
}

int32_t LoadBytes(int32_t slot, const std::vector<uint8_t>& image, int32_t count = 8) {
  return STReadBytesChecked(slot, image.data(), image.size(), count);
}

// Runs first in declaration order, so also holds when all tests share a process.
TEST(SoundBeforeInit, EveryCallDoesNothing) {
  if (CurrentSoundDeviceState() != SoundDeviceState::kOff) GTEST_SKIP() << "library already started";
  const std::vector<uint8_t> image = test::ReadAsset("mark.wav");
  EXPECT_EQ(STPlay(kMark), 0);
  EXPECT_EQ(STReadBytes(kMark, image.data(), 8), 0);
  EXPECT_EQ(LoadBytes(kMark, image), 0);
  LoadSounds(kMark, 103, "WAVE", 8);
  EXPECT_EQ(SoundVoicesPlaying(kMark), 0);
  EXPECT_EQ(CurrentSoundDeviceState(), SoundDeviceState::kOff);
}

class SoundPlayback : public ::testing::Test {
 protected:
  void SetUp() override {
    STInit(0, 0);
    ASSERT_EQ(WaitForSoundDevice(30000), SoundDeviceState::kReady);
  }
};

TEST_F(SoundPlayback, LoadSoundsTakesTheResourcesThereAreAndLeavesTheMissingOneEmpty) {
  LoadSounds(kOpen, 101, "WAVE", 8);
  LoadSounds(kExplosion, 102, "WAVE", 8);
  LoadSounds(kMark, 103, "WAVE", 8);
  EXPECT_EQ(STPlay(kOpen), 1);
  EXPECT_EQ(STPlay(kExplosion), 0);
  EXPECT_EQ(STPlay(kMark), 1);
  // Playing the empty slot changed nothing for the others.
  EXPECT_EQ(STPlay(kOpen), 1);
}

TEST_F(SoundPlayback, LoadSoundsSkipsDamagedResourcesAndTakesPaddedOnes) {
  LoadSounds(3, 104, "WAVE", 8);
  EXPECT_EQ(STPlay(3), 0) << "the truncated explosion";
  LoadSounds(4, 105, "WAVE", 8);
  EXPECT_EQ(STPlay(4), 1) << "the mark with bytes after its image";
  LoadSounds(5, 101, "NOPE", 8);
  LoadSounds(6, 101, nullptr, 8);
  LoadSounds(7, -5, "WAVE", 8);
  EXPECT_EQ(STPlay(5), 0);
  EXPECT_EQ(STPlay(6), 0);
  EXPECT_EQ(STPlay(7), 0);
}

TEST_F(SoundPlayback, ReadBytesTakesTheLengthFromTheHeaderAndCopiesTheImage) {
  std::vector<uint8_t> image = test::ReadAsset("explosion.wav");
  ASSERT_EQ(STReadBytes(kExplosion, image.data(), 8), 1);
  // The caller frees its copy at once; the slot must not care.
  std::fill(image.begin(), image.end(), 0);
  image.clear();
  image.shrink_to_fit();
  EXPECT_EQ(STPlay(kExplosion), 1);
}

TEST_F(SoundPlayback, ASlotSoundsUpToItsCountAtOnceAndNoMore) {
  const std::vector<uint8_t> image = LongSoundImage();
  ASSERT_EQ(LoadBytes(8, image, 8), 1);
  for (int play = 1; play <= 8; ++play) {
    ASSERT_EQ(STPlay(8), 1);
    EXPECT_EQ(SoundVoicesPlaying(8), play);
  }
  EXPECT_EQ(STPlay(8), 1) << "a ninth play takes over a voice";
  EXPECT_EQ(SoundVoicesPlaying(8), 8);

  // Another slot's voices are its own.
  ASSERT_EQ(LoadBytes(9, image, 2), 1);
  for (int play = 0; play < 3; ++play) EXPECT_EQ(STPlay(9), 1);
  EXPECT_EQ(SoundVoicesPlaying(9), 2);
  EXPECT_EQ(SoundVoicesPlaying(8), 8);
}

TEST_F(SoundPlayback, CountsOutOfRangeAreClamped) {
  const std::vector<uint8_t> image = LongSoundImage();
  ASSERT_EQ(LoadBytes(10, image, 0), 1);
  STPlay(10);
  STPlay(10);
  EXPECT_EQ(SoundVoicesPlaying(10), 1);
  ASSERT_EQ(LoadBytes(11, image, 100000), 1);
  for (int play = 0; play < kMaxVoicesPerSlot + 5; ++play) STPlay(11);
  EXPECT_EQ(SoundVoicesPlaying(11), kMaxVoicesPerSlot);
}

TEST_F(SoundPlayback, ADamagedReloadEmptiesTheSlotAndStopsItsVoices) {
  const std::vector<uint8_t> good = LongSoundImage();
  ASSERT_EQ(LoadBytes(12, good), 1);
  ASSERT_EQ(STPlay(12), 1);
  EXPECT_EQ(SoundVoicesPlaying(12), 1);
  const std::vector<uint8_t> cut(good.begin(), good.begin() + 500);
  EXPECT_EQ(LoadBytes(12, cut), 0);
  EXPECT_EQ(SoundVoicesPlaying(12), 0);
  EXPECT_EQ(STPlay(12), 0);
  // A good load afterwards works as ever.
  ASSERT_EQ(LoadBytes(12, good), 1);
  EXPECT_EQ(STPlay(12), 1);
}

TEST_F(SoundPlayback, BadSlotsAndBadImagesAreRefusedQuietly) {
  const std::vector<uint8_t> image = test::ReadAsset("mark.wav");
  for (int32_t slot : {-1, kSoundSlotCount, 1 << 30, INT32_MIN}) {
    EXPECT_EQ(LoadBytes(slot, image), 0);
    EXPECT_EQ(STReadBytes(slot, image.data(), 8), 0);
    EXPECT_EQ(STPlay(slot), 0);
    EXPECT_EQ(SoundVoicesPlaying(slot), 0);
  }
  EXPECT_EQ(STReadBytes(13, nullptr, 8), 0);
  EXPECT_EQ(STReadBytesChecked(13, nullptr, 100, 8), 0);
  EXPECT_EQ(STReadBytesChecked(13, image.data(), 0, 8), 0);

  // The header says 1000 bytes more than the buffer has: the checked entry refuses.
  std::vector<uint8_t> longer = image;
  const uint32_t claimed = static_cast<uint32_t>(image.size() - 8 + 1000);
  for (int i = 0; i < 4; ++i) longer[4 + i] = static_cast<uint8_t>(claimed >> (8 * i));
  EXPECT_EQ(LoadBytes(13, longer), 0);

  std::vector<uint8_t> notRiff(64, 'x');
  EXPECT_EQ(STReadBytes(13, notRiff.data(), 8), 0);
  EXPECT_EQ(STPlay(13), 0);
}

TEST_F(SoundPlayback, InitTwiceIsHarmless) {
  EXPECT_EQ(STInit(0, 0), 1);
  EXPECT_EQ(STInit(12345, 7), 1);
  EXPECT_EQ(CurrentSoundDeviceState(), SoundDeviceState::kReady);
}

}  // namespace
}  // namespace porteka
