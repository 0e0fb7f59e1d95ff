#include "sound/wave_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <tuple>
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
    for (auto [value, bytes] : {std::pair<uint32_t, int>{tag, 2}, {channels, 2}, {rate, 4}, {byteRate, 4}, {align, 2},
                                {bits, 2}})
      PutLe(fmt, value, bytes);
    fmt.resize(fmt.size() + extra, 0);
    return Chunk("fmt ", fmt);
  }
  ImageBuilder& Mono8() { return Fmt(1, 1, 11025, 11025, 1, 8); }
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

TEST(WaveImage, AcceptsPlayableImagesKeepingWholeFramesOnly) {
  Bytes padded = WriteWaveImage({1, 11025, 8}, Ramp(11025));  // odd data, no pad byte
  padded.insert(padded.end(), {0xAA, 0xBB, 0xCC});
  struct Case { const char* what; Bytes image; WaveFormat format; std::size_t kept; };
  const Case cases[] = {
      {"as written", WriteWaveImage({1, 22050, 8}, Ramp(1543)), {1, 22050, 8}, 1543},
      {"16-bit stereo ending in half a frame",
       ImageBuilder().Fmt(1, 2, 8000, 32000, 4, 16).Chunk("data", Ramp(10)).Build(), {2, 8000, 16}, 8},
      {"odd chunk, extended fmt, fact", ImageBuilder().Chunk("LIST", {1, 2, 3}).Fmt(1, 1, 11025, 11025, 1, 8, 2)
           .Chunk("fact", {0, 0, 0, 0}).Chunk("data", Ramp(5)).Build(), {1, 11025, 8}, 5},
      {"resource padding after the image", padded, {1, 11025, 8}, 11025},
  };
  for (const auto& [what, image, format, kept] : cases) {
    const std::optional<WaveSound> sound = ParseWaveImage(image);
    ASSERT_TRUE(sound) << what;
    EXPECT_EQ(std::tuple(sound->format.channels, sound->format.sampleRate, sound->format.bitsPerSample),
              std::tuple(format.channels, format.sampleRate, format.bitsPerSample)) << what;
    EXPECT_EQ(Bytes(sound->samples.begin(), sound->samples.end()), Ramp(kept)) << what;
  }
}

// Every truncation of an image, and every kind of damage or format the game
// cannot play.
TEST(WaveImage, RefusesDamagedTruncatedAndUnplayableImages) {
  const Bytes image = ImageBuilder().Chunk("LIST", Ramp(9)).Mono8().Chunk("data", Ramp(40)).Build();
  ASSERT_TRUE(ParseWaveImage(image));
  for (std::size_t length = 0; length < image.size(); ++length) {
    EXPECT_FALSE(ParseWaveImage(Bytes(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(length))))
        << "cut to " << length << " bytes";
  }
  const ImageBuilder mono = ImageBuilder().Mono8().Chunk("data", Ramp(100));
  const Bytes good = mono.Build();
  const uint32_t trueLength = static_cast<uint32_t>(good.size() - 8);
  const auto patched = [&](std::size_t at, const char* four) {
    Bytes image = good;
    std::memcpy(image.data() + at, four, 4);
    return image;
  };
  const auto format = [](uint16_t tag, uint16_t channels, uint32_t rate, uint32_t byteRate, uint16_t align,
                         uint16_t bits) {
    return ImageBuilder().Fmt(tag, channels, rate, byteRate, align, bits).Chunk("data", Ramp(64)).Build();
  };
  const std::pair<const char*, Bytes> cases[] = {
      {"not RIFF", patched(0, "XIFF")},
      {"not WAVE", patched(8, "AVI ")},
      {"RIFF length one past the buffer", mono.Build(trueLength + 1)},
      {"RIFF length 4 GB", mono.Build(0xFFFFFFFFu)},
      {"data running past the RIFF length", mono.Build(trueLength - 10)},
      {"fmt length wrapping around", patched(16, "\xFF\xFF\xFF\xFF")},
      {"no data", ImageBuilder().Mono8().Build()},
      {"no data, odd last chunk without its pad", ImageBuilder().Mono8().Chunk("LIST", Ramp(3), false).Build()},
      {"no fmt", ImageBuilder().Chunk("data", Ramp(32)).Build()},
      {"data before fmt", ImageBuilder().Chunk("data", Ramp(32)).Mono8().Build()},
      {"two fmt", ImageBuilder().Mono8().Mono8().Chunk("data", Ramp(32)).Build()},
      {"short fmt ending the image",
       ImageBuilder().Chunk("LIST", Ramp(12)).Chunk("fmt ", Bytes(good.begin() + 20, good.begin() + 34)).Build()},
      {"less than one frame", ImageBuilder().Fmt(1, 2, 8000, 32000, 4, 16).Chunk("data", {7}).Build()},
      {"extensible", format(0xFFFE, 1, 11025, 11025, 1, 8)},
      {"no channels", format(1, 0, 11025, 0, 0, 8)},
      {"three channels", format(1, 3, 11025, 33075, 3, 8)},
      {"4 bits", format(1, 1, 11025, 11025, 1, 4)},
      {"24 bits", format(1, 1, 11025, 33075, 3, 24)},
      {"rate 0", format(1, 1, 0, 0, 1, 8)},
      {"rate absurd", format(1, 1, 4000000, 4000000, 1, 8)},
      {"block align off", format(1, 1, 11025, 22050, 2, 8)},
      {"byte rate off", format(1, 1, 11025, 22050, 1, 8)},
  };
  ASSERT_TRUE(ParseWaveImage(good));
  // Exactly sized copies, so the sanitizer sees any read past the end.
  for (const auto& [what, image] : cases) EXPECT_FALSE(ParseWaveImage(Bytes(image))) << what;
}

// STReadBytes trusts this length, so it must not send the copy far into memory.
TEST(RiffImageLength, ReadsOnlyTheEightHeaderBytesAndRefusesHugeLengths) {
  Bytes image = WriteWaveImage({1, 11025, 8}, Ramp(4410));
  EXPECT_EQ(RiffImageLength(std::span(image).first(8)), image.size());
  EXPECT_FALSE(RiffImageLength(std::span(image).first(7)));
  image[7] = 0x7F;
  EXPECT_FALSE(RiffImageLength(image));
}

// Random damage anywhere in a valid image: the parser must never read outside
// the buffer (the sanitizer build catches that) and whatever it accepts must
// lie inside it and make sense.
TEST(WaveImage, RandomDamageIsRefusedOrStaysInsideTheBuffer) {
  const Bytes original = ImageBuilder().Chunk("LIST", Ramp(7)).Mono8().Chunk("data", Ramp(300)).Build();
  std::mt19937 random(20240611);
  for (int round = 0; round < 20000; ++round) {
    Bytes image = original;
    for (int hits = 1 + static_cast<int>(random() % 4); hits > 0; --hits) {
      // Mostly the headers, where damage matters.
      image[random() % 2 == 0 ? random() % 60 : random() % image.size()] = static_cast<uint8_t>(random());
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

TEST(PickVoice, TakesAnIdleVoiceElseTheOneStartedFirst) {
  const std::pair<std::vector<VoiceState>, std::size_t> cases[] = {
      {{{true, 5}, {false, 9}, {true, 1}}, 1},
      {{{true, 3}, {true, 4}, {false, 0}}, 2},
      {{{true, 12}, {true, 10}, {true, 11}, {true, 13}}, 1},
      {{{true, 2}, {true, 7}}, 0},
  };
  for (const auto& [voices, expected] : cases) EXPECT_EQ(PickVoice(voices), expected);
}

}  // namespace
}  // namespace porteka
