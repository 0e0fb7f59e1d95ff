#include "tools/art/value_noise.h"

#include <cmath>

namespace porteka::art {

double ValueNoise::Lattice(int x, int y) const {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
               seed_ * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return h * (1.0 / 4294967296.0);
}

double ValueNoise::At(double x, double y) const {
  const double fx = std::floor(x);
  const double fy = std::floor(y);
  const int ix = static_cast<int>(fx);
  const int iy = static_cast<int>(fy);
  auto ease = [](double t) { return t * t * (3.0 - 2.0 * t); };
  const double tx = ease(x - fx);
  const double ty = ease(y - fy);
  const double top = Lattice(ix, iy) + (Lattice(ix + 1, iy) - Lattice(ix, iy)) * tx;
  const double bottom = Lattice(ix, iy + 1) + (Lattice(ix + 1, iy + 1) - Lattice(ix, iy + 1)) * tx;
  return top + (bottom - top) * ty;
}

double ValueNoise::Fractal(double x, double y) const {
  return (At(x, y) * 2.0 + At(x * 2.03 + 17.0, y * 2.03 - 9.0)) / 3.0;
}

}  // namespace porteka::art
