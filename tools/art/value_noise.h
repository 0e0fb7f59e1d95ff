#pragma once

#include <cstdint>

namespace porteka::art {

// Smooth lattice noise in [0, 1) from a hash of the lattice point and a seed:
// the same seed always gives the same flames.
class ValueNoise {
 public:
  explicit ValueNoise(uint32_t seed) : seed_(seed) {}

  double At(double x, double y) const;
  // Two octaves, for ragged flame edges.
  double Fractal(double x, double y) const;

 private:
  double Lattice(int x, int y) const;

  uint32_t seed_;
};

}  // namespace porteka::art
