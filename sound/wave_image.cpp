#include "sound/wave_image.h"

#include <algorithm>
#include <cstring>

namespace porteka {
namespace {

constexpr std::size_t kRiffHeaderBytes = 8;
constexpr std::size_t kChunkHeaderBytes = 8;
constexpr std::size_t kPcmFormatBytes = 16;
constexpr uint16_t kFormatTagPcm = 1;
constexpr uint32_t kMinSampleRate = 1000;
constexpr uint32_t kMaxSampleRate = 192000;

uint16_t ReadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t ReadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool HasTag(const uint8_t* p, const char (&tag)[5]) { return std::memcmp(p, tag, 4) == 0; }

void WriteTag(uint8_t* p, const char (&tag)[5]) { std::memcpy(p, tag, 4); }

void WriteLe16(uint8_t* p, uint16_t value) {
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
}

void WriteLe32(uint8_t* p, uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

std::optional<WaveFormat> ParseFormatChunk(std::span<const uint8_t> body) {
  if (body.size() < kPcmFormatBytes) return std::nullopt;
  const uint8_t* p = body.data();
  if (ReadLe16(p) != kFormatTagPcm) return std::nullopt;
  WaveFormat format;
  format.channels = ReadLe16(p + 2);
  format.sampleRate = ReadLe32(p + 4);
  const uint32_t byteRate = ReadLe32(p + 8);
  const uint16_t blockAlign = ReadLe16(p + 12);
  format.bitsPerSample = ReadLe16(p + 14);
  if (format.channels != 1 && format.channels != 2) return std::nullopt;
  if (format.bitsPerSample != 8 && format.bitsPerSample != 16) return std::nullopt;
  if (format.sampleRate < kMinSampleRate || format.sampleRate > kMaxSampleRate) return std::nullopt;
  if (blockAlign != format.BlockAlign()) return std::nullopt;
  if (byteRate != format.sampleRate * blockAlign) return std::nullopt;
  return format;
}

}  // namespace

std::optional<std::size_t> RiffImageLength(std::span<const uint8_t> header) {
  if (header.size() < kRiffHeaderBytes || !HasTag(header.data(), "RIFF")) return std::nullopt;
  const std::size_t length = std::size_t{ReadLe32(header.data() + 4)} + kRiffHeaderBytes;
  // The smallest image that can hold a sound: "WAVE", a PCM fmt chunk and a data chunk.
  constexpr std::size_t kSmallestImage = 12 + kChunkHeaderBytes + kPcmFormatBytes + kChunkHeaderBytes + 1;
  if (length < kSmallestImage || length > kMaxWaveImageBytes) return std::nullopt;
  return length;
}

std::optional<WaveSound> ParseWaveImage(std::span<const uint8_t> bytes) {
  const std::optional<std::size_t> imageLength = RiffImageLength(bytes);
  if (!imageLength || *imageLength > bytes.size()) return std::nullopt;
  const std::span<const uint8_t> image = bytes.first(*imageLength);
  if (!HasTag(image.data() + 8, "WAVE")) return std::nullopt;

  std::optional<WaveFormat> format;
  std::size_t pos = 12;
  while (image.size() - pos >= kChunkHeaderBytes) {
    const uint8_t* header = image.data() + pos;
    const std::size_t bodyStart = pos + kChunkHeaderBytes;
    const std::size_t bodySize = ReadLe32(header + 4);
    if (bodySize > image.size() - bodyStart) return std::nullopt;
    const std::span<const uint8_t> body = image.subspan(bodyStart, bodySize);

    if (HasTag(header, "fmt ")) {
      if (format) return std::nullopt;
      format = ParseFormatChunk(body);
      if (!format) return std::nullopt;
    } else if (HasTag(header, "data")) {
      // Samples before their format cannot be read, so the image is damaged.
      if (!format) return std::nullopt;
      const std::size_t whole = bodySize - bodySize % format->BlockAlign();
      if (whole == 0) return std::nullopt;
      return WaveSound{*format, body.first(whole)};
    }
    // Odd chunks are followed by a pad byte, which the last chunk may lack.
    pos = bodyStart + bodySize;
    if (bodySize % 2 != 0 && pos < image.size()) ++pos;
  }
  return std::nullopt;
}

std::vector<uint8_t> WriteWaveImage(const WaveFormat& format, std::span<const uint8_t> samples) {
  std::vector<uint8_t> out(44 + samples.size());
  uint8_t* p = out.data();
  WriteTag(p, "RIFF");
  WriteLe32(p + 4, static_cast<uint32_t>(36 + samples.size()));
  WriteTag(p + 8, "WAVE");
  WriteTag(p + 12, "fmt ");
  WriteLe32(p + 16, kPcmFormatBytes);
  WriteLe16(p + 20, kFormatTagPcm);
  WriteLe16(p + 22, format.channels);
  WriteLe32(p + 24, format.sampleRate);
  WriteLe32(p + 28, format.sampleRate * format.BlockAlign());
  WriteLe16(p + 32, format.BlockAlign());
  WriteLe16(p + 34, format.bitsPerSample);
  WriteTag(p + 36, "data");
  WriteLe32(p + 40, static_cast<uint32_t>(samples.size()));
  std::copy(samples.begin(), samples.end(), out.begin() + 44);
  return out;
}

}  // namespace porteka
