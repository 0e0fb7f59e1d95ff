// The sounds the game ships: exactly the format and lengths the game's
// resources are known by, and exactly what the generator makes today.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <tuple>

#include "sound/wave_image.h"
#include "tests/sound/sound_test_files.h"

namespace porteka {
namespace {

struct Expected {
  const char* file;
  uint32_t sampleRate;
  std::size_t sampleBytes;
};

constexpr Expected kSounds[] = {{"open.wav", 11025, 4410}, {"explosion.wav", 11025, 11025}, {"mark.wav", 22050, 1543}};

TEST(CommittedSounds, AreAudible8BitMonoPcmOfExactlyTheirLength) {
  for (const Expected& e : kSounds) {
    SCOPED_TRACE(e.file);
    const std::vector<uint8_t> image = test::ReadAsset(e.file);
    const std::optional<WaveSound> sound = ParseWaveImage(image);
    ASSERT_TRUE(sound);
    EXPECT_EQ(std::tuple(sound->format.channels, sound->format.bitsPerSample, sound->format.sampleRate),
              std::tuple(1, 8, e.sampleRate));
    ASSERT_EQ(sound->samples.size(), e.sampleBytes);
    // The plain 44-byte header and nothing after the samples.
    EXPECT_EQ(sound->samples.data(), image.data() + 44);
    EXPECT_EQ(image.size(), 44 + e.sampleBytes);

    int loudest = 0;
    for (uint8_t sample : sound->samples) loudest = std::max(loudest, std::abs(sample - 128));
    EXPECT_GT(loudest, 40);
    // Starting and ending on the midpoint keeps overlapping plays from clicking.
    EXPECT_EQ(sound->samples.front(), 128);
    EXPECT_EQ(sound->samples.back(), 128);
  }
}

TEST(CommittedSounds, AreWhatTheGeneratorMakes) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("porteka_sounds_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  ASSERT_EQ(std::system((std::string(PORTEKA_MAKE_SOUNDS) + " " + folder.string()).c_str()), 0);
  for (const Expected& e : kSounds) {
    EXPECT_EQ(test::ReadBytes(folder / e.file), test::ReadAsset(e.file))
        << e.file << " differs from a fresh run of make_sounds: regenerate assets/";
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace porteka
