#include "sound/wave_image.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "sound/voice_picker.h"

namespace porteka {
namespace {

using Bytes = std::vector<uint8_t>;

void PutLe(Bytes& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Lays out images chunk by chunk, including ones no sane writer would make.
class ImageBuilder {
 public:
  ImageBuilder& Chunk(const std::string& id, const Bytes& data, bool pad = true) {
    chunks_.insert(chunks_.end(), id.begin(), id.end());
    PutLe(chunks_, static_cast<uint32_t>(data.size()), 4);
    chunks_.insert(chunks_.end(), data.begin(), data.end());
    if (pad && data.size() % 2 != 0) chunks_.push_back(0);
    return *this;
  }
  ImageBuilder& Fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t byteRate, uint16_t align,
                    uint16_t bits, std::size_t extra = 0) {
    Bytes fmt;
    PutLe(fmt, tag, 2);
    PutLe(fmt, channels, 2);
    PutLe(fmt, rate, 4);
    PutLe(fmt, byteRate, 4);
    PutLe(fmt, align, 2);
    PutLe(fmt, bits, 2);
    fmt.resize(fmt.size() + extra, 0);
    return Chunk("fmt ", fmt);
  }
  ImageBuilder& Mono8(uint32_t rate = 11025) { return Fmt(1, 1, rate, rate, 1, 8); }
  // The RIFF length defaults to the true one.
  Bytes Build(std::optional<uint32_t> riffLength = std::nullopt) const {
    Bytes out{'R', 'I', 'F', 'F'};
    PutLe(out, riffLength.value_or(static_cast<uint32_t>(4 + chunks_.size())), 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E'});
    out.insert(out.end(), chunks_.begin(), chunks_.end());
    return out;
  }

 private:
  Bytes chunks_;
};

Bytes Ramp(std::size_t length) {
  Bytes samples(length);
  for (std::size_t i = 0; i < length; ++i) samples[i] = static_cast<uint8_t>(i * 7);
  return samples;
}

Bytes SamplesOf(const WaveSound& sound) { return {sound.samples.begin(), sound.samples.end()}; }

// ---- Images the parser takes ----

TEST(WaveImageAccepts, WhatTheWriterWritesComesBackUnchanged) {
  const Bytes samples = Ramp(1543);
  const Bytes image = WriteWaveImage({1, 22050, 8}, samples);
  ASSERT_EQ(image.size(), 44u + 1543u);
  const std::optional<WaveSound> sound = ParseWaveImage(image);
  ASSERT_TRUE(sound);
  EXPECT_EQ(sound->format.channels, 1);
  EXPECT_EQ(sound->format.sampleRate, 22050u);
  EXPECT_EQ(sound->format.bitsPerSample, 8);
  EXPECT_EQ(SamplesOf(*sound), samples);
  EXPECT_EQ(sound->samples.data(), image.data() + 44);  // a view, not a copy
}

TEST(WaveImageAccepts, SixteenBitStereoKeepingWholeFramesOnly) {
  const Bytes image = ImageBuilder().Fmt(1, 2, 8000, 32000, 4, 16).Chunk("data", Ramp(10)).Build();
  const std::optional<WaveSound> sound = ParseWaveImage(image);
  ASSERT_TRUE(sound);
  EXPECT_EQ(sound->format.BlockAlign(), 4);
  EXPECT_EQ(sound->samples.size(), 8u);
}

TEST(WaveImageAccepts, OtherChunksExtendedFormatAndPadBytesAreSteppedOver) {
  const Bytes image = ImageBuilder()
                          .Chunk("LIST", {1, 2, 3})  // odd, so a pad byte follows
                          .Fmt(1, 1, 11025, 11025, 1, 8, 2)
                          .Chunk("fact", {0, 0, 0, 0})
                          .Chunk("data", Ramp(5))
                          .Build();
  const std::optional<WaveSound> sound = ParseWaveImage(image);
  ASSERT_TRUE(sound);
  EXPECT_EQ(SamplesOf(*sound), Ramp(5));
}

TEST(WaveImageAccepts, ResourcePaddingAfterTheImageIsIgnored) {
  Bytes image = WriteWaveImage({1, 11025, 8}, Ramp(11025));  // odd data, no pad byte
  image.insert(image.end(), {0xAA, 0xBB, 0xCC});
  const std::optional<WaveSound> sound = ParseWaveImage(image);
  ASSERT_TRUE(sound);
  EXPECT_EQ(sound->samples.size(), 11025u);
}

// ---- Images it refuses ----

TEST(WaveImageRefuses, EveryTruncation) {
  const Bytes image = ImageBuilder().Chunk("LIST", Ramp(9)).Mono8().Chunk("data", Ramp(40)).Build();
  ASSERT_TRUE(ParseWaveImage(image));
  for (std::size_t length = 0; length < image.size(); ++length) {
    const Bytes cut(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_FALSE(ParseWaveImage(cut)) << "cut to " << length << " bytes";
  }
}

TEST(WaveImageRefuses, WrongMagic) {
  Bytes image = WriteWaveImage({1, 11025, 8}, Ramp(100));
  Bytes notRiff = image;
  notRiff[0] = 'X';
  EXPECT_FALSE(ParseWaveImage(notRiff));
  Bytes notWave = image;
  std::memcpy(notWave.data() + 8, "AVI ", 4);
  EXPECT_FALSE(ParseWaveImage(notWave));
}

TEST(WaveImageRefuses, FormatsItCannotPlay) {
  const Bytes data = Ramp(64);
  struct Case {
    const char* what;
    uint16_t tag, channels;
    uint32_t rate, byteRate;
    uint16_t align, bits;
  };
  const Case cases[] = {
      {"IEEE float", 3, 1, 11025, 44100, 4, 32},
      {"extensible", 0xFFFE, 1, 11025, 11025, 1, 8},
      {"ADPCM", 2, 1, 11025, 11025, 1, 8},
      {"no channels", 1, 0, 11025, 0, 0, 8},
      {"three channels", 1, 3, 11025, 33075, 3, 8},
      {"4 bits", 1, 1, 11025, 11025, 1, 4},
      {"24 bits", 1, 1, 11025, 33075, 3, 24},
      {"rate 0", 1, 1, 0, 0, 1, 8},
      {"rate absurd", 1, 1, 4000000, 4000000, 1, 8},
      {"block align off", 1, 1, 11025, 11025, 2, 8},
      {"byte rate off", 1, 1, 11025, 22050, 1, 8},
  };
  for (const Case& c : cases) {
    const Bytes image =
        ImageBuilder().Fmt(c.tag, c.channels, c.rate, c.byteRate, c.align, c.bits).Chunk("data", data).Build();
    EXPECT_FALSE(ParseWaveImage(image)) << c.what;
  }
}

TEST(WaveImageRefuses, MissingMisplacedOrRepeatedChunks) {
  const Bytes data = Ramp(32);
  EXPECT_FALSE(ParseWaveImage(ImageBuilder().Mono8().Build())) << "no data";
  EXPECT_FALSE(ParseWaveImage(ImageBuilder().Chunk("data", data).Build())) << "no fmt";
  EXPECT_FALSE(ParseWaveImage(ImageBuilder().Chunk("data", data).Mono8().Build())) << "data first";
  EXPECT_FALSE(ParseWaveImage(ImageBuilder().Mono8().Mono8().Chunk("data", data).Build())) << "two fmt";
  EXPECT_FALSE(ParseWaveImage(ImageBuilder().Chunk("fmt ", Ramp(14)).Chunk("data", data).Build())) << "short fmt";
}

TEST(WaveImageRefuses, EmptySoundData) {
  EXPECT_FALSE(ParseWaveImage(ImageBuilder().Mono8().Chunk("data", {}).Build()));
  // One byte of 16-bit stereo is not a single whole frame.
  EXPECT_FALSE(ParseWaveImage(ImageBuilder().Fmt(1, 2, 8000, 32000, 4, 16).Chunk("data", {7}).Build()));
}

TEST(WaveImageRefuses, LengthsReachingBeyondWhatIsThere) {
  const Bytes good = ImageBuilder().Mono8().Chunk("data", Ramp(100)).Build();
  const uint32_t trueLength = static_cast<uint32_t>(good.size() - 8);

  // The RIFF header promises more than the buffer holds.
  EXPECT_FALSE(ParseWaveImage(ImageBuilder().Mono8().Chunk("data", Ramp(100)).Build(trueLength + 1)));
  EXPECT_FALSE(ParseWaveImage(ImageBuilder().Mono8().Chunk("data", Ramp(100)).Build(0xFFFFFFFFu)));

  // The data chunk runs past the RIFF image, even though the buffer goes on.
  Bytes shortRiff = ImageBuilder().Mono8().Chunk("data", Ramp(100)).Build(trueLength - 10);
  EXPECT_FALSE(ParseWaveImage(shortRiff));

  // A chunk length that would wrap around when added to its position.
  Bytes wrapping = good;
  for (int i = 0; i < 4; ++i) wrapping[40 + i] = 0xFF;
  EXPECT_FALSE(ParseWaveImage(wrapping));
  Bytes wrappingFmt = good;
  for (int i = 0; i < 4; ++i) wrappingFmt[16 + i] = 0xFF;
  EXPECT_FALSE(ParseWaveImage(wrappingFmt));
}

TEST(RiffImageLength, ReadsOnlyTheEightHeaderBytes) {
  const Bytes image = WriteWaveImage({1, 11025, 8}, Ramp(4410));
  EXPECT_EQ(RiffImageLength(std::span(image).first(8)), image.size());
  EXPECT_FALSE(RiffImageLength(std::span(image).first(7)));
  Bytes huge = image;
  huge[7] = 0x7F;
  EXPECT_FALSE(RiffImageLength(huge)) << "far larger than any sound of ours";
  Bytes tiny = image;
  std::memset(tiny.data() + 4, 0, 4);
  EXPECT_FALSE(RiffImageLength(tiny)) << "too small to hold a sound";
}

// Random damage anywhere in a valid image: the parser must never read outside
// the buffer (the sanitizer build catches that) and whatever it accepts must
// lie inside it and make sense.
TEST(WaveImageFuzz, RandomDamageIsRefusedOrStaysInsideTheBuffer) {
  const Bytes original = ImageBuilder().Chunk("LIST", Ramp(7)).Mono8().Chunk("data", Ramp(300)).Build();
  std::mt19937 random(20240611);
  for (int round = 0; round < 20000; ++round) {
    Bytes image = original;
    const int hits = 1 + static_cast<int>(random() % 4);
    for (int h = 0; h < hits; ++h) {
      // Mostly the headers, where damage matters.
      const std::size_t at = random() % 2 == 0 ? random() % 60 : random() % image.size();
      image[at] = static_cast<uint8_t>(random());
    }
    if (random() % 3 == 0) image.resize(random() % (image.size() + 1));
    const Bytes exact(image);  // exactly sized heap copy, so the sanitizer sees any overrun
    const std::optional<WaveSound> sound = ParseWaveImage(exact);
    if (!sound) continue;
    ASSERT_GE(sound->samples.data(), exact.data());
    ASSERT_LE(sound->samples.data() + sound->samples.size(), exact.data() + exact.size());
    ASSERT_FALSE(sound->samples.empty());
    ASSERT_EQ(sound->samples.size() % sound->format.BlockAlign(), 0u);
  }
}

// ---- Voices ----

TEST(PickVoice, TakesAnIdleVoiceFirst) {
  const VoiceState voices[] = {{true, 5}, {false, 9}, {true, 1}};
  EXPECT_EQ(PickVoice(voices), 1u);
}

TEST(PickVoice, WhenAllAreBusyTheOneStartedFirstIsReused) {
  const VoiceState voices[] = {{true, 12}, {true, 10}, {true, 11}, {true, 13}};
  EXPECT_EQ(PickVoice(voices), 1u);
}

TEST(PickVoice, ABurstOfPlaysCyclesThroughEveryVoice) {
  std::vector<VoiceState> voices(8);
  std::vector<int> uses(8, 0);
  for (uint64_t play = 1; play <= 8 * 3; ++play) {
    const std::size_t chosen = PickVoice(voices);
    voices[chosen] = {true, play};
    ++uses[chosen];
  }
  EXPECT_EQ(uses, std::vector<int>(8, 3));
}

TEST(LockstepVolume, CopiesInStepAreAsLoudAsThatManyUnrelatedSounds) {
  EXPECT_EQ(LockstepVolume(1, 128), 128);
  EXPECT_EQ(LockstepVolume(0, 128), 128);
  EXPECT_EQ(LockstepVolume(2, 128), 91);
  EXPECT_EQ(LockstepVolume(4, 128), 64);
  // Eight in step peak at 2.8 times one play, not 8 times.
  EXPECT_NEAR(8 * LockstepVolume(8, 128) / 128.0, std::sqrt(8.0), 0.02);
}

}  // namespace
}  // namespace porteka
