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

// Ten seconds of a quiet tone: still sounding whenever a test looks, however
// slowly the machine runs.
std::vector<uint8_t> LongSoundImage() {
  std::vector<uint8_t> samples(11025 * 10);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = (i / 10) % 2 == 0 ? 120 : 136;
  return WriteWaveImage({1, 11025, 8}, samples);
}

int32_t Load(int32_t slot, const std::vector<uint8_t>& image, int32_t count = 8) {
  return STReadBytesChecked(slot, image.data(), image.size(), count);
}

class SoundPlayback : public ::testing::Test {
 protected:
  void SetUp() override {
    STInit(0, 0);
    ASSERT_EQ(WaitForSoundDevice(30000), SoundDeviceState::kReady);
  }
};

TEST_F(SoundPlayback, LoadSoundsTakesTheResourcesThereAreAndSkipsTheRest) {
  // The resources lack the explosion (102), hold a damaged one (104) and one
  // padded after its image (105).
  const struct { int16_t resource; const char* type; int32_t plays; } cases[] = {
      {101, "WAVE", 1}, {102, "WAVE", 0}, {103, "WAVE", 1}, {104, "WAVE", 0},
      {105, "WAVE", 1}, {101, "NOPE", 0}, {101, nullptr, 0}, {-5, "WAVE", 0}};
  for (int32_t slot = 0; slot < 8; ++slot) LoadSounds(slot, cases[slot].resource, cases[slot].type, 8);
  // Loading everything first shows an empty slot disturbs none of the others.
  for (int32_t slot = 0; slot < 8; ++slot) EXPECT_EQ(STPlay(slot), cases[slot].plays) << "slot " << slot;
  EXPECT_EQ(STInit(12345, 7), 1) << "a second start changes nothing";
  EXPECT_EQ(STPlay(0), 1);
}

TEST_F(SoundPlayback, ASlotSoundsUpToItsCountAtOnceWhateverItIsGiven) {
  const std::vector<uint8_t> image = LongSoundImage();
  const struct { int32_t slot, count, plays, sounding; } cases[] = {
      {8, 8, 9, 8}, {9, 2, 3, 2}, {10, 0, 2, 1}, {11, 100000, kMaxVoicesPerSlot + 5, kMaxVoicesPerSlot}};
  for (const auto& c : cases) {
    ASSERT_EQ(Load(c.slot, image, c.count), 1);
    // Once all are busy, a further play takes over a voice.
    for (int play = 0; play < c.plays; ++play) EXPECT_EQ(STPlay(c.slot), 1);
  }
  // Each slot's voices are its own.
  for (const auto& c : cases) EXPECT_EQ(SoundVoicesPlaying(c.slot), c.sounding) << "count " << c.count;
}

TEST_F(SoundPlayback, ADamagedReloadEmptiesTheSlotAndStopsItsVoices) {
  const std::vector<uint8_t> good = LongSoundImage();
  ASSERT_EQ(Load(12, good), 1);
  ASSERT_EQ(STPlay(12), 1);
  EXPECT_EQ(Load(12, std::vector<uint8_t>(good.begin(), good.begin() + 500)), 0);
  EXPECT_EQ(SoundVoicesPlaying(12), 0);
  EXPECT_EQ(STPlay(12), 0);
  ASSERT_EQ(Load(12, good), 1);
  EXPECT_EQ(STPlay(12), 1);
}

TEST_F(SoundPlayback, BadSlotsAndMissingImagesAreRefusedQuietly) {
  const std::vector<uint8_t> image = test::ReadAsset("mark.wav");
  for (int32_t slot : {-1, kSoundSlotCount, 1 << 30, INT32_MIN}) {
    EXPECT_EQ(Load(slot, image), 0);
    EXPECT_EQ(STReadBytes(slot, image.data(), 8), 0);
    EXPECT_EQ(STPlay(slot), 0);
    EXPECT_EQ(SoundVoicesPlaying(slot), 0);
  }
  EXPECT_EQ(STReadBytes(13, nullptr, 8), 0);
  EXPECT_EQ(STReadBytesChecked(13, nullptr, 100, 8), 0);
  EXPECT_EQ(STPlay(13), 0);
}

}  // namespace
}  // namespace porteka
