// What actually reaches the speakers: SDL's disk driver writes the mixed
// output to SDL_DISKAUDIOFILE, at the pace a sound card would take it.

#include <SDL2/SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <numbers>
#include <optional>
#include <thread>
#include <vector>

#include "game/outside.h"
#include "sound/load_sounds.h"
#include "sound/sound_device_status.h"
#include "sound/stools.h"
#include "sound/wave_image.h"
#include "tests/sound/sound_test_files.h"

namespace porteka {
namespace {

struct Loudness {
  int peak = 0;
  double energy = 0.0;
  double heard = 0.0;  // seconds from the first sample above a whisper to the last
};

class DiskOutput : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* file = std::getenv("SDL_DISKAUDIOFILE");
    ASSERT_NE(file, nullptr) << "run with SDL_AUDIODRIVER=disk and SDL_DISKAUDIOFILE set";
    output_ = file;
    STInit(0, 0);
    ASSERT_EQ(WaitForSoundDevice(30000), SoundDeviceState::kReady);
    int rate = 0, channels = 0;
    Uint16 format = 0;
    ASSERT_NE(Mix_QuerySpec(&rate, &format, &channels), 0);
    ASSERT_EQ(format, AUDIO_S16SYS) << "this test reads 16-bit output";
    bytesPerSecond_ = rate * channels * 2;
  }

  std::size_t OutputSize() const {
    std::error_code error;
    const auto size = std::filesystem::file_size(output_, error);
    return error ? 0 : static_cast<std::size_t>(size);
  }

  // Plays `plays` times in a row, then waits (the driver writes in real time,
  // but not forever) for `seconds` of output and measures it.
  Loudness PlayAndMeasure(int32_t slot, int plays, double seconds) {
    const std::size_t from = OutputSize();
    const std::size_t to = from + static_cast<std::size_t>(seconds * bytesPerSecond_);
    for (int i = 0; i < plays; ++i) EXPECT_EQ(STPlay(slot), 1);
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (OutputSize() < to && std::chrono::steady_clock::now() < giveUp) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const std::vector<uint8_t> written = test::ReadBytes(output_);
    EXPECT_GE(written.size(), to) << "the disk driver stopped writing";
    Loudness loudness;
    std::optional<std::size_t> first;
    for (std::size_t at = from; at + 2 <= std::min(to, written.size()); at += 2) {
      int16_t sample;
      std::memcpy(&sample, written.data() + at, 2);
      loudness.peak = std::max(loudness.peak, std::abs(static_cast<int>(sample)));
      loudness.energy += static_cast<double>(sample) * sample;
      if (std::abs(sample) < 100) continue;
      first = first.value_or(at);
      loudness.heard = static_cast<double>(at - *first) / bytesPerSecond_;
    }
    return loudness;
  }

  std::filesystem::path output_;
  double bytesPerSecond_ = 0;
};

TEST_F(DiskOutput, AnExplosionIsHeardThoughTheCallerDroppedItsImage) {
  std::vector<uint8_t> image = test::ReadAsset("explosion.wav");
  ASSERT_EQ(STReadBytes(1, image.data(), 8), 1);
  // The slot keeps a copy: the caller's bytes may turn to silence, or go.
  std::fill(image.begin(), image.end(), 128);
  std::vector<uint8_t>().swap(image);
  // The window outlasts the one-second sound plus the output's delay.
  EXPECT_GT(PlayAndMeasure(1, 1, 1.5).peak, 32767 / 2);
}

// The game's cues from the game's resources: each sounds for about as long as
// its own file, so no cue plays another's sound.
TEST_F(DiskOutput, EachCuePlaysItsOwnSound) {
  LoadGameSounds();
  const std::pair<SoundCue, const char*> cues[] = {
      {SoundCue::Open, "open.wav"}, {SoundCue::Explosion, "explosion.wav"}, {SoundCue::Mark, "mark.wav"}};
  for (const auto& [cue, file] : cues) {
    const std::vector<uint8_t> image = test::ReadAsset(file);
    const std::optional<WaveSound> sound = ParseWaveImage(image);
    ASSERT_TRUE(sound) << file;
    const double length = static_cast<double>(sound->samples.size()) / sound->format.sampleRate;
    const double heard = PlayAndMeasure(static_cast<int32_t>(cue), 1, length + 0.4).heard;
    // Its quiet tail may go under the whisper, never past its end.
    EXPECT_TRUE(heard > length / 2 && heard < length + 0.01) << file << " heard for " << heard << " s";
  }
}

TEST_F(DiskOutput, OverlappingPlaysMixAndCopiesInStepAreTamed) {
  // Half a second of a quiet 441 Hz tone: far from clipping even eight times over.
  std::vector<uint8_t> samples(11025 / 2);
  for (std::size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<uint8_t>(std::lround(128 + 25 * std::sin(2 * std::numbers::pi * 441.0 * i / 11025)));
  }
  const std::vector<uint8_t> tone = WriteWaveImage({1, 11025, 8}, samples);
  ASSERT_EQ(STReadBytesChecked(5, tone.data(), tone.size(), 8), 1);
  const Loudness one = PlayAndMeasure(5, 1, 1.0);
  const Loudness two = PlayAndMeasure(5, 2, 1.0);
  const Loudness eight = PlayAndMeasure(5, 8, 1.0);
  ASSERT_GT(one.peak, 3000);
  // Two plays together carry twice the energy of one; had the second
  // replaced the first, it would be the same.
  EXPECT_GT(two.energy, 1.5 * one.energy);
  // Eight in step peak near sqrt(8) = 2.8 times one, not 8 times (clipped).
  EXPECT_GT(eight.peak, 2 * one.peak);
  EXPECT_LT(eight.peak, 4.5 * one.peak);
}

}  // namespace
}  // namespace porteka
