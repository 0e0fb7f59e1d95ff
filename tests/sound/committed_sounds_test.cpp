// The sounds the game ships: exactly the format and lengths the game's
// resources are known by, and exactly what the generator makes today.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "sound/wave_image.h"
#include "tests/sound/sound_test_files.h"

namespace porteka {
namespace {

struct Expected {
  const char* file;
  uint32_t sampleRate;
  std::size_t sampleBytes;
};

constexpr Expected kSounds[] = {
    {"open.wav", 11025, 4410},
    {"explosion.wav", 11025, 11025},
    {"mark.wav", 22050, 1543},
};

uint32_t Le32(const std::vector<uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
uint16_t Le16(const std::vector<uint8_t>& b, std::size_t at) { return static_cast<uint16_t>(b[at] | (b[at + 1] << 8)); }

TEST(CommittedSounds, HeadersAreExactly8BitMonoPcm) {
  for (const Expected& e : kSounds) {
    SCOPED_TRACE(e.file);
    const std::vector<uint8_t> image = test::ReadAsset(e.file);
    ASSERT_EQ(image.size(), 44 + e.sampleBytes);
    EXPECT_EQ(std::string(image.begin(), image.begin() + 4), "RIFF");
    EXPECT_EQ(Le32(image, 4), 36 + e.sampleBytes);
    EXPECT_EQ(std::string(image.begin() + 8, image.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(Le32(image, 16), 16u);
    EXPECT_EQ(Le16(image, 20), 1) << "format tag";
    EXPECT_EQ(Le16(image, 22), 1) << "channels";
    EXPECT_EQ(Le32(image, 24), e.sampleRate);
    EXPECT_EQ(Le32(image, 28), e.sampleRate) << "byte rate";
    EXPECT_EQ(Le16(image, 32), 1) << "block align";
    EXPECT_EQ(Le16(image, 34), 8) << "bits";
    EXPECT_EQ(std::string(image.begin() + 36, image.begin() + 40), "data");
    EXPECT_EQ(Le32(image, 40), e.sampleBytes);

    const std::optional<WaveSound> sound = ParseWaveImage(image);
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->samples.size(), e.sampleBytes);
  }
}

TEST(CommittedSounds, AreAudibleAndEndOnSilence) {
  for (const Expected& e : kSounds) {
    SCOPED_TRACE(e.file);
    const std::vector<uint8_t> image = test::ReadAsset(e.file);
    ASSERT_EQ(image.size(), 44 + e.sampleBytes);
    int loudest = 0;
    for (std::size_t i = 44; i < image.size(); ++i) loudest = std::max(loudest, std::abs(image[i] - 128));
    EXPECT_GT(loudest, 40);
    // Starting and ending on the midpoint keeps overlapping plays from clicking.
    EXPECT_EQ(image[44], 128);
    EXPECT_EQ(image.back(), 128);
  }
}

TEST(CommittedSounds, AreWhatTheGeneratorMakes) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("porteka_sounds_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::string command = std::string(PORTEKA_MAKE_SOUNDS) + " " + folder.string();
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (const Expected& e : kSounds) {
    EXPECT_EQ(test::ReadBytes(folder / e.file), test::ReadAsset(e.file))
        << e.file << " differs from a fresh run of make_sounds: regenerate assets/";
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace porteka
