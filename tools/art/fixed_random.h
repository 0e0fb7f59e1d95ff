#pragma once

#include <cstdint>

namespace porteka::art {

// SplitMix64 with a seed written into the generator's source, so the committed
// pictures come out byte for byte the same on every run.
class FixedRandom {
 public:
  explicit FixedRandom(uint64_t seed) : state_(seed) {}

  uint64_t NextBits() {
    state_ += 0x9E3779B97F4A7C15ull;
    uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  // 0 <= value < 1.
  double Uniform() { return static_cast<double>(NextBits() >> 11) * (1.0 / 9007199254740992.0); }

  double Range(double low, double high) { return low + (high - low) * Uniform(); }

  int Below(int count) { return static_cast<int>(Uniform() * count); }

 private:
  uint64_t state_;
};

}  // namespace porteka::art
