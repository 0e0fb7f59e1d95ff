#include "tests/art/asset_loading.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace porteka::art_test {
namespace {

struct Strip {
  const char* name;
  int side;
  int frames;
};

constexpr Strip kFlash{"open_flash.png", 48, 10};
constexpr Strip kExplosion{"explosion.png", 120, 20};

struct Frame {
  int lit = 0;             // pixels that are not black
  int64_t brightness = 0;  // summed over the frame
  double reach = 0;        // distance of the farthest lit pixel from the centre
  QRgb centre = 0;
  bool blackRim = true;
};

// Indexed by frame number, counted from 1.
std::vector<Frame> MeasureFrames(const Strip& strip) {
  const QImage image = LoadAsset(strip.name);
  std::vector<Frame> frames(strip.frames + 1);
  for (int n = 1; n <= strip.frames; ++n) {
    Frame& frame = frames[n];
    const int left = (n - 1) * strip.side;
    for (int y = 0; y < strip.side; ++y) {
      for (int x = 0; x < strip.side; ++x) {
        const QRgb c = image.pixel(left + x, y);
        frame.brightness += Brightness(c);
        if (IsBlack(c)) continue;
        ++frame.lit;
        frame.reach = std::max(frame.reach, std::hypot(x + 0.5 - strip.side / 2.0, y + 0.5 - strip.side / 2.0));
        if (x == 0 || y == 0 || x == strip.side - 1 || y == strip.side - 1) frame.blackRim = false;
      }
    }
    frame.centre = image.pixel(left + strip.side / 2, strip.side / 2);
  }
  return frames;
}

TEST(EffectStrips, ShareOneSixteenColourFireRampStartingAtBlack) {
  const QImage flash = LoadAsset(kFlash.name);
  const QImage explosion = LoadAsset(kExplosion.name);
  ASSERT_EQ(flash.colorCount(), 16);
  EXPECT_EQ(flash.colorTable(), explosion.colorTable());
  const QList<QRgb> ramp = flash.colorTable();
  EXPECT_EQ(ramp[0], qRgb(0, 0, 0));
  EXPECT_EQ(ramp[15], qRgb(255, 255, 255));
  for (int i = 1; i < ramp.size(); ++i) {
    EXPECT_GT(Brightness(ramp[i]), Brightness(ramp[i - 1])) << "entry " << i;
    EXPECT_TRUE(qRed(ramp[i]) >= qGreen(ramp[i]) && qGreen(ramp[i]) >= qBlue(ramp[i])) << "fire colour " << i;
  }
}

// The board ORs these frames on, so anything not black around a frame's rim
// would light up a neighbouring cell or show the next frame's edge.
TEST(EffectStrips, EveryFrameHasABlackRimAndMostlyBlackGround) {
  for (const Strip& strip : {kFlash, kExplosion}) {
    const std::vector<Frame> frames = MeasureFrames(strip);
    for (int n = 1; n <= strip.frames; ++n) {
      EXPECT_TRUE(frames[n].blackRim && frames[n].lit < strip.side * strip.side / 2) << strip.name << " frame " << n;
    }
  }
}

// Frame 1 comes first: both start white hot; the flash, about two cells wide,
// dies away, and the explosion grows, hollows out and thins.
TEST(EffectStrips, TheFlashDiesAwayAndTheExplosionGrows) {
  const std::vector<Frame> flash = MeasureFrames(kFlash), explosion = MeasureFrames(kExplosion);
  EXPECT_EQ(flash[1].centre, qRgb(255, 255, 255));
  EXPECT_EQ(explosion[1].centre, qRgb(255, 255, 255));
  const double widest = std::max({flash[1].reach, flash[2].reach, flash[3].reach, flash[4].reach});
  EXPECT_TRUE(widest >= 12.0 && widest <= 20.0) << widest;
  for (int n = 4; n <= kFlash.frames; ++n) EXPECT_LT(flash[n].brightness, flash[n - 1].brightness) << n;
  EXPECT_LT(flash[10].brightness * 10, flash[3].brightness);
  EXPECT_TRUE(IsBlack(explosion[20].centre)) << "hollow in the end";
  EXPECT_LT(explosion[1].reach + 20, explosion[20].reach);
  for (int n = 2; n <= kExplosion.frames; ++n) EXPECT_GE(explosion[n].reach + 1.5, explosion[n - 1].reach) << n;
  EXPECT_LT(explosion[20].lit * 2, explosion[10].lit);
  EXPECT_LT(explosion[20].brightness * 5, explosion[5].brightness);
}

}  // namespace
}  // namespace porteka::art_test
