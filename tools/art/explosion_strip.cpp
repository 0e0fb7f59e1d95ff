#include "tools/art/explosion_strip.h"

#include "tools/art/colour_math.h"
#include "tools/art/fire_palette.h"
#include "tools/art/fixed_random.h"
#include "tools/art/value_noise.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace porteka::art {

namespace {

constexpr double kCentre = kExplosionFrameSize / 2.0;
constexpr double kReach = kExplosionFrameSize / 2.0 - 3.0;

struct Debris {
  double angle;
  double share;  // how far out along the ring this piece rides
  double heat;
  double cooling;
  bool streak;
};

// Radius of the blast ring at age t (0 .. 19): fast at first, slowing down.
double RingRadius(double t) {
  const double s = t / (kExplosionFrames - 1);
  return 13.0 + 41.0 * (1.0 - (1.0 - s) * (1.0 - s));
}

std::vector<Debris> MakeDebris() {
  FixedRandom random(0xB0B);
  std::vector<Debris> pieces(300);
  for (Debris& piece : pieces) {
    piece.angle = random.Range(0.0, 2.0 * std::numbers::pi);
    piece.share = random.Range(0.5, 1.08);
    piece.heat = random.Range(0.6, 1.0);
    piece.cooling = random.Range(0.028, 0.06);
    piece.streak = random.Uniform() < 0.45;
  }
  return pieces;
}

void DrawFrame(HeatFrame& frame, int n, const ValueNoise& noise, const std::vector<Debris>& pieces) {
  const double t = n - 1;
  const double ring = RingRadius(t);
  const double ringWidth = 13.0 - 8.5 * t / (kExplosionFrames - 1);
  const double ringHeat = t < 3 ? 1.0 : 1.0 - 0.8 * (t - 3) / (kExplosionFrames - 4);
  const double sparseness = 0.12 + 0.5 * t / (kExplosionFrames - 1);

  const double coreRadius = 9.0 + 17.0 * (1.0 - std::exp(-t / 2.3));
  const double coreHeat = t < 4 ? 1.0 : std::max(0.0, 1.0 - (t - 4) / 8.0);
  const double hollow = t < 5 ? 0.0 : (t - 5) * 3.6;

  for (int y = 0; y < kExplosionFrameSize; ++y) {
    for (int x = 0; x < kExplosionFrameSize; ++x) {
      const double dx = x + 0.5 - kCentre;
      const double dy = y + 0.5 - kCentre;
      const double r = std::hypot(dx, dy);
      if (r > kReach) continue;
      double heat = 0.0;

      // The white-hot core, which burns out from the middle.
      if (coreHeat > 0.0 && r < coreRadius) {
        const double churn = noise.Fractal(x / 5.0 + t * 0.5, y / 5.0 - t * 0.3);
        // A ragged hole, not a clean donut.
        const double hole = hollow > 0.0 ? hollow + 9.0 * (churn - 0.5) : 0.0;
        if (r >= hole) {
          const double edge = r / coreRadius;
          double h = coreHeat * (edge < 0.55 ? 1.0 : 1.0 - 0.6 * (edge - 0.55) / 0.45);
          if (hole > 0.0) h *= Smoothstep(hole, hole + 5.0, r);
          // As it cools the core crumbles into glowing lumps.
          const double crumble = std::clamp((t - 6.0) / 7.0, 0.0, 1.0) * 0.75;
          if (crumble > 0.0) h *= Smoothstep(crumble, crumble + 0.2, churn);
          heat = std::max(heat, h * (0.86 + 0.14 * churn) * 1.1);
        }
      }

      // The blast ring: ragged flames around the rim, thinning as it cools.
      const double off = (r - ring) / (ringWidth / 2.0);
      if (std::abs(off) < 1.6) {
        const double band = std::exp(-off * off * 1.4);
        const double flame = noise.Fractal(x / 4.0 + t * 0.7, y / 4.0 - t * 0.5);
        const double kept = (flame - sparseness) / (1.0 - sparseness);
        if (kept > 0.0) heat = std::max(heat, ringHeat * band * Smoothstep(0.0, 0.4, kept) * (0.5 + 0.5 * kept) * 1.2);
      }
      if (heat > 0.0) frame.Raise(x, y, heat);
    }
  }

  // Flying debris riding with the ring.
  for (const Debris& piece : pieces) {
    const double heat = piece.heat - piece.cooling * t;
    if (heat <= 0.0) continue;
    const double r = ring * piece.share;
    if (r > kReach || r < 4.0) continue;
    const double dx = std::cos(piece.angle);
    const double dy = std::sin(piece.angle);
    frame.Raise(static_cast<int>(std::floor(kCentre + dx * r)), static_cast<int>(std::floor(kCentre + dy * r)), heat);
    if (piece.streak && t < 12) {
      for (double back : {1.2, 2.4}) {
        frame.Raise(static_cast<int>(std::floor(kCentre + dx * (r - back))),
                    static_cast<int>(std::floor(kCentre + dy * (r - back))), heat * (1.0 - back / 4.0));
      }
    }
  }
}

}  // namespace

QImage PaintExplosion() {
  QImage strip = MakeFireStrip(kExplosionFrameSize, kExplosionFrames);
  const ValueNoise noise(0xB1A57);
  const std::vector<Debris> pieces = MakeDebris();
  for (int n = 1; n <= kExplosionFrames; ++n) {
    HeatFrame frame(kExplosionFrameSize);
    DrawFrame(frame, n, noise, pieces);
    frame.PaintInto(strip, (n - 1) * kExplosionFrameSize);
  }
  return strip;
}

}  // namespace porteka::art
