#include "tools/sounds/sound_recipes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace porteka {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// A fixed generator of our own: the standard distributions differ between
// library versions, and the noise must be the same on every machine.
class NoiseSource {
 public:
  explicit NoiseSource(uint64_t seed) : state_(seed) {}
  double Next() {  // uniform in [-1, 1)
    state_ += 0x9E3779B97F4A7C15ull;
    uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) / 4503599627370496.0 - 1.0;
  }

 private:
  uint64_t state_;
};

// Raised-cosine ramp from 0 to 1 over `length` seconds, so nothing starts with a click.
double Attack(double t, double length) {
  if (t >= length) return 1.0;
  return 0.5 - 0.5 * std::cos(std::numbers::pi * t / length);
}

// The same at the end: every sound ends exactly on silence, or overlapping
// plays would tick when they stop.
double Release(double t, double total, double length) {
  const double left = total - t;
  if (left >= length) return 1.0;
  if (left <= 0.0) return 0.0;
  return 0.5 - 0.5 * std::cos(std::numbers::pi * left / length);
}

std::vector<uint8_t> ToUnsigned8(std::vector<double> wave, double peak) {
  double loudest = 0.0;
  for (double v : wave) loudest = std::max(loudest, std::abs(v));
  const double gain = loudest > 0.0 ? peak / loudest : 0.0;
  std::vector<uint8_t> out;
  out.reserve(wave.size());
  for (double v : wave) {
    const long level = std::lround(128.0 + 127.0 * v * gain);
    out.push_back(static_cast<uint8_t>(std::clamp(level, 0L, 255L)));
  }
  return out;
}

}  // namespace

GeneratedSound MakeOpenSound() {
  // A soft wooden pop under a short bell tone. It sounds for every cell of a
  // cascade, many at once, so it stays mellow: few upper partials, quick decay,
  // and well below full scale.
  constexpr uint32_t kRate = 11025;
  constexpr std::size_t kLength = 4410;
  const double total = static_cast<double>(kLength) / kRate;
  std::vector<double> wave(kLength);
  double popPhase = 0.0;
  for (std::size_t i = 0; i < kLength; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double popPitch = 700.0 + 900.0 * std::exp(-t / 0.006);
    popPhase += kTwoPi * popPitch / kRate;
    const double pop = 0.8 * std::sin(popPhase) * std::exp(-t / 0.012);
    constexpr double kBell = 1046.5;  // C6
    const double bell = 0.55 * std::sin(kTwoPi * kBell * t) * std::exp(-t / 0.090) +
                        0.18 * std::sin(kTwoPi * 2.0 * kBell * t + 0.4) * std::exp(-t / 0.045) +
                        0.06 * std::sin(kTwoPi * 2.76 * kBell * t + 1.1) * std::exp(-t / 0.025);
    wave[i] = (pop + bell) * Attack(t, 0.0015) * Release(t, total, 0.060);
  }
  return {"open.wav", WaveFormat{1, kRate, 8}, ToUnsigned8(std::move(wave), 0.45)};
}

GeneratedSound MakeExplosionSound() {
  // A crack of bright noise, a falling low thump, and a long rumble of
  // low-passed noise that wavers as it dies away.
  constexpr uint32_t kRate = 11025;
  constexpr std::size_t kLength = 11025;
  const double total = static_cast<double>(kLength) / kRate;
  NoiseSource noise(0x5EED0102u);
  std::vector<double> wave(kLength);
  double thumpPhase = 0.0;
  double low1 = 0.0;
  double low2 = 0.0;
  double debris = 0.0;
  for (std::size_t i = 0; i < kLength; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double white = noise.Next();

    const double crack = white * std::exp(-t / 0.010);

    const double thumpPitch = 32.0 + 90.0 * std::exp(-t / 0.070);
    thumpPhase += kTwoPi * thumpPitch / kRate;
    const double thump = std::sin(thumpPhase) * std::exp(-t / 0.200);

    // Two one-pole low-passes whose corner slides down: the rumble darkens.
    const double corner = 120.0 + 500.0 * std::exp(-t / 0.150);
    const double k = 1.0 - std::exp(-kTwoPi * corner / kRate);
    low1 += k * (white - low1);
    low2 += k * (low1 - low2);
    const double waver = 1.0 + 0.30 * std::sin(kTwoPi * 6.3 * t) + 0.20 * std::sin(kTwoPi * 9.7 * t + 1.3);
    const double rumble = 4.5 * low2 * waver * std::exp(-t / 0.330);

    // Sparse crackles of falling debris in the first half second.
    const double spark = noise.Next();
    if (spark > 0.985 && t > 0.04 && t < 0.55) debris += 0.5 * spark * (noise.Next() > 0 ? 1 : -1);
    debris *= 0.80;

    const double mix = 0.55 * crack + 0.85 * thump + rumble + debris * std::exp(-t / 0.2);
    wave[i] = std::tanh(1.6 * mix) * Attack(t, 0.0010) * Release(t, total, 0.120);
  }
  return {"explosion.wav", WaveFormat{1, kRate, 8}, ToUnsigned8(std::move(wave), 0.92)};
}

GeneratedSound MakeMarkSound() {
  // A crisp rising blip; a touch of the third harmonic gives it an edge
  // without buzzing. Ctrl+A plays it eight times at once, so it leaves room.
  constexpr uint32_t kRate = 22050;
  constexpr std::size_t kLength = 1543;
  const double total = static_cast<double>(kLength) / kRate;
  std::vector<double> wave(kLength);
  double phase = 0.0;
  for (std::size_t i = 0; i < kLength; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double pitch = 2350.0 - 800.0 * std::exp(-t / 0.006);
    phase += kTwoPi * pitch / kRate;
    const double tone = std::sin(phase) + 0.18 * std::sin(3.0 * phase);
    wave[i] = tone * std::exp(-t / 0.022) * Attack(t, 0.0015) * Release(t, total, 0.012);
  }
  return {"mark.wav", WaveFormat{1, kRate, 8}, ToUnsigned8(std::move(wave), 0.42)};
}

}  // namespace porteka
