#include "tests/art/asset_loading.h"

#include <cmath>

namespace porteka::art_test {
namespace {

struct Strip {
  const char* name;
  int frameSize;
  int frames;
};

constexpr Strip kFlash{"open_flash.png", 48, 10};
constexpr Strip kExplosion{"explosion.png", 120, 20};

QImage LoadStrip(const Strip& strip) {
  QImage image = LoadAsset(strip.name);
  EXPECT_EQ(image.size(), QSize(strip.frameSize * strip.frames, strip.frameSize)) << strip.name;
  return image;
}

// Pixels of frame n (1-based) that are not black.
int LitPixels(const QImage& image, const Strip& strip, int n) {
  int lit = 0;
  const int left = (n - 1) * strip.frameSize;
  for (int y = 0; y < strip.frameSize; ++y) {
    for (int x = 0; x < strip.frameSize; ++x) lit += IsBlack(image.pixel(left + x, y)) ? 0 : 1;
  }
  return lit;
}

int64_t TotalBrightness(const QImage& image, const Strip& strip, int n) {
  int64_t sum = 0;
  const int left = (n - 1) * strip.frameSize;
  for (int y = 0; y < strip.frameSize; ++y) {
    for (int x = 0; x < strip.frameSize; ++x) sum += Brightness(image.pixel(left + x, y));
  }
  return sum;
}

// Distance from the frame centre of the farthest lit pixel.
double Reach(const QImage& image, const Strip& strip, int n) {
  double reach = 0;
  const int left = (n - 1) * strip.frameSize;
  const double centre = strip.frameSize / 2.0;
  for (int y = 0; y < strip.frameSize; ++y) {
    for (int x = 0; x < strip.frameSize; ++x) {
      if (!IsBlack(image.pixel(left + x, y))) reach = std::max(reach, std::hypot(x + 0.5 - centre, y + 0.5 - centre));
    }
  }
  return reach;
}

QRgb Centre(const QImage& image, const Strip& strip, int n) {
  return image.pixel((n - 1) * strip.frameSize + strip.frameSize / 2, strip.frameSize / 2);
}

TEST(EffectStrips, ShareOneSixteenColourFireRampStartingAtBlack) {
  const QImage flash = LoadStrip(kFlash);
  const QImage explosion = LoadStrip(kExplosion);
  ASSERT_EQ(flash.format(), QImage::Format_Indexed8);
  ASSERT_EQ(explosion.format(), QImage::Format_Indexed8);
  ASSERT_EQ(flash.colorCount(), 16);
  EXPECT_EQ(flash.colorTable(), explosion.colorTable());
  const QList<QRgb> ramp = flash.colorTable();
  EXPECT_EQ(ramp[0], qRgb(0, 0, 0));
  EXPECT_EQ(ramp[15], qRgb(255, 255, 255));
  for (int i = 1; i < ramp.size(); ++i) {
    EXPECT_GT(Brightness(ramp[i]), Brightness(ramp[i - 1])) << "entry " << i;
    EXPECT_GE(qRed(ramp[i]), qGreen(ramp[i])) << "a fire colour, entry " << i;
    EXPECT_GE(qGreen(ramp[i]), qBlue(ramp[i])) << "a fire colour, entry " << i;
  }
}

// The board ORs these frames on, so anything not black around a frame's rim
// would light up a neighbouring cell or show the next frame's edge.
TEST(EffectStrips, EveryFrameHasABlackRimAndMostlyBlackGround) {
  for (const Strip& strip : {kFlash, kExplosion}) {
    const QImage image = LoadStrip(strip);
    for (int n = 1; n <= strip.frames; ++n) {
      const int left = (n - 1) * strip.frameSize;
      const int right = left + strip.frameSize - 1;
      EXPECT_TRUE(IsBlack(image.pixel(left, 0))) << strip.name << " frame " << n;
      for (int i = 0; i < strip.frameSize; ++i) {
        EXPECT_TRUE(IsBlack(image.pixel(left, i))) << strip.name << " frame " << n << " left column, row " << i;
        EXPECT_TRUE(IsBlack(image.pixel(right, i))) << strip.name << " frame " << n << " right column, row " << i;
        EXPECT_TRUE(IsBlack(image.pixel(left + i, 0))) << strip.name << " frame " << n << " top row";
        EXPECT_TRUE(IsBlack(image.pixel(left + i, strip.frameSize - 1))) << strip.name << " frame " << n;
      }
      EXPECT_LT(LitPixels(image, strip, n), strip.frameSize * strip.frameSize / 2) << strip.name << " frame " << n;
    }
  }
}

TEST(OpenFlash, StartsWhiteHotAboutTwoCellsWideAndDiesAway) {
  const QImage image = LoadStrip(kFlash);
  EXPECT_EQ(Centre(image, kFlash, 1), qRgb(255, 255, 255));
  double widest = 0;
  for (int n = 1; n <= 4; ++n) widest = std::max(widest, Reach(image, kFlash, n));
  EXPECT_GE(widest, 12.0);
  EXPECT_LE(widest, 20.0);
  for (int n = 4; n <= kFlash.frames; ++n) {
    EXPECT_LT(TotalBrightness(image, kFlash, n), TotalBrightness(image, kFlash, n - 1)) << "frame " << n;
  }
  EXPECT_LT(TotalBrightness(image, kFlash, 10) * 10, TotalBrightness(image, kFlash, 3));
  int brightest = 0;
  for (int y = 0; y < kFlash.frameSize; ++y) {
    for (int x = 0; x < kFlash.frameSize; ++x) {
      brightest = std::max(brightest, Brightness(image.pixel(9 * kFlash.frameSize + x, y)));
    }
  }
  EXPECT_LT(brightest, 3 * 255) << "no white left in the last frame";
}

TEST(Explosion, GrowsHollowsOutAndThins) {
  const QImage image = LoadStrip(kExplosion);
  EXPECT_EQ(Centre(image, kExplosion, 1), qRgb(255, 255, 255)) << "white-hot core";
  EXPECT_TRUE(IsBlack(Centre(image, kExplosion, 20))) << "hollow in the end";
  EXPECT_LT(Reach(image, kExplosion, 1) + 20, Reach(image, kExplosion, 20));
  for (int n = 2; n <= kExplosion.frames; ++n) {
    EXPECT_GE(Reach(image, kExplosion, n) + 1.5, Reach(image, kExplosion, n - 1)) << "frame " << n;
  }
  EXPECT_LT(LitPixels(image, kExplosion, 20) * 2, LitPixels(image, kExplosion, 10));
  EXPECT_LT(TotalBrightness(image, kExplosion, 20) * 5, TotalBrightness(image, kExplosion, 5));
}

}  // namespace
}  // namespace porteka::art_test
