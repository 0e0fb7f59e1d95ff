#include "tests/art/asset_loading.h"

namespace porteka::art_test {
namespace {

// The board ORs these frames on, so anything not black around a frame's rim
// would light up a neighbouring cell or show the next frame's edge; a frame
// lit over half its square would wash out the cells under it.
TEST(EffectStrips, EveryFrameHasABlackRimAndMostlyBlackGround) {
  const struct {
    const char* name;
    int side, frames;
  } strips[] = {{"open_flash.png", 48, 10}, {"explosion.png", 120, 20}};
  for (const auto& strip : strips) {
    const QImage image = LoadAsset(strip.name);
    for (int n = 1; n <= strip.frames; ++n) {
      const QRect frame((n - 1) * strip.side, 0, strip.side, strip.side);
      const int lit = CountIn(image, frame, [](QRgb c) { return !IsBlack(c); });
      const int inside = CountIn(image, frame.adjusted(1, 1, -1, -1), [](QRgb c) { return !IsBlack(c); });
      EXPECT_EQ(lit, inside) << strip.name << " frame " << n << ": lit on the rim";
      EXPECT_LT(lit, strip.side * strip.side / 2) << strip.name << " frame " << n;
      EXPECT_GT(lit, 0) << strip.name << " frame " << n;
    }
  }
}

}  // namespace
}  // namespace porteka::art_test
