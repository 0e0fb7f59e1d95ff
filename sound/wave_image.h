#pragma once

// RIFF WAVE images in memory: the parser the sound layer trusts with bytes it
// did not write, and the writer our sound generator uses. No SDL here, so the
// parser can be tested and fuzzed on its own.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace porteka {

// Our three sounds are a few kilobytes; anything claiming more than this is
// garbage, and refusing it keeps a bad header from sending us far into memory.
inline constexpr std::size_t kMaxWaveImageBytes = 16u * 1024u * 1024u;

struct WaveFormat {
  uint16_t channels = 1;
  uint32_t sampleRate = 0;
  uint16_t bitsPerSample = 8;

  uint16_t BlockAlign() const { return static_cast<uint16_t>(channels * (bitsPerSample / 8)); }
};

// A parsed image: `samples` points into the bytes given to ParseWaveImage and
// holds whole sample frames only.
struct WaveSound {
  WaveFormat format;
  std::span<const uint8_t> samples;
};

// The length of the whole image as its RIFF header states it ("RIFF", the
// 32-bit little-endian length, plus those 8 bytes). Reads at most the first
// 8 bytes of `header`. Empty when the header is not RIFF or is implausible.
std::optional<std::size_t> RiffImageLength(std::span<const uint8_t> header);

// Accepts uncompressed PCM, 1 or 2 channels, 8 or 16 bits, with a non-empty
// data chunk, all inside both the RIFF length and `bytes`. Bytes after the
// RIFF image are ignored (a resource may be padded). Never reads outside
// `bytes`.
std::optional<WaveSound> ParseWaveImage(std::span<const uint8_t> bytes);

// A canonical image: 44-byte header ("fmt " of 16 bytes, then "data") and the
// samples, without a pad byte after odd-sized data.
std::vector<uint8_t> WriteWaveImage(const WaveFormat& format, std::span<const uint8_t> samples);

}  // namespace porteka
