#include "tools/art/open_flash.h"

#include "tools/art/colour_math.h"
#include "tools/art/fire_palette.h"
#include "tools/art/fixed_random.h"
#include "tools/art/value_noise.h"

#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace porteka::art {

namespace {

constexpr double kCentre = kFlashFrameSize / 2.0;
constexpr double kReach = kFlashFrameSize / 2.0 - 2.5;  // sparks die before the frame edge

struct Spark {
  double angle;
  double start;
  double speed;
  double heat;
  double cooling;
};

std::vector<Spark> MakeSparks() {
  FixedRandom random(0x0F1A5);
  std::vector<Spark> sparks(46);
  for (Spark& spark : sparks) {
    spark.angle = random.Range(0.0, 2.0 * std::numbers::pi);
    spark.start = random.Range(7.0, 15.0);
    spark.speed = random.Range(0.9, 1.9);
    spark.heat = random.Range(0.72, 1.0);
    spark.cooling = random.Range(0.085, 0.125);
  }
  return sparks;
}

void DrawFrame(HeatFrame& frame, int n, const ValueNoise& noise, const std::vector<Spark>& sparks) {
  // The disc: swells to two cells across, then is eaten away from the inside out.
  static constexpr std::array<double, kFlashFrames> kRadius = {9, 13, 15.5, 16, 16.3, 16.6, 17, 17.3, 17.6, 18};
  static constexpr std::array<double, kFlashFrames> kCore = {1, 1, 1, 0.96, 0.82, 0.64, 0.46, 0.3, 0.18, 0.1};
  static constexpr std::array<double, kFlashFrames> kBreakup = {0, 0, 0, 0.16, 0.34, 0.48, 0.6, 0.69, 0.76, 0.82};
  const double radius = kRadius[n - 1];
  const double core = kCore[n - 1];
  const double breakup = kBreakup[n - 1];
  for (int y = 0; y < kFlashFrameSize; ++y) {
    for (int x = 0; x < kFlashFrameSize; ++x) {
      const double r = std::hypot(x + 0.5 - kCentre, y + 0.5 - kCentre);
      if (r > radius) continue;
      const double edge = r / radius;
      double heat = core * (edge < 0.55 ? 1.0 : 1.0 - 0.7 * std::pow((edge - 0.55) / 0.45, 1.4));
      if (breakup > 0.0) {
        // Fragments keep their heat in the middle and fade towards their edges.
        const double grain = noise.Fractal((x + 0.5) / 3.2 + n * 0.35, (y + 0.5) / 3.2);
        const double left = (grain - breakup) / (1.0 - breakup);
        if (left <= 0.0) continue;
        heat *= Smoothstep(0.0, 0.35, left) * (0.55 + 0.45 * left);
      }
      frame.Raise(x, y, heat);
    }
  }
  if (n < 3) return;
  const int age = n - 3;
  for (const Spark& spark : sparks) {
    const double heat = spark.heat - spark.cooling * age;
    if (heat <= 0.0) continue;
    const double r = spark.start + spark.speed * age * (1.0 - 0.04 * age);
    if (r > kReach) continue;
    const double dx = std::cos(spark.angle);
    const double dy = std::sin(spark.angle);
    const int hx = static_cast<int>(std::floor(kCentre + dx * r));
    const int hy = static_cast<int>(std::floor(kCentre + dy * r));
    frame.Raise(hx, hy, heat);
    if (age > 0) {
      frame.Raise(static_cast<int>(std::floor(kCentre + dx * (r - 1.3))),
                  static_cast<int>(std::floor(kCentre + dy * (r - 1.3))), heat * 0.6);
    }
  }
}

}  // namespace

QImage PaintOpenFlash() {
  QImage strip = MakeFireStrip(kFlashFrameSize, kFlashFrames);
  const ValueNoise noise(0x5EED);
  const std::vector<Spark> sparks = MakeSparks();
  for (int n = 1; n <= kFlashFrames; ++n) {
    HeatFrame frame(kFlashFrameSize);
    DrawFrame(frame, n, noise, sparks);
    frame.PaintInto(strip, (n - 1) * kFlashFrameSize);
  }
  return strip;
}

}  // namespace porteka::art
