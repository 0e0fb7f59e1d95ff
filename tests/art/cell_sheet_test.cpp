#include "tests/art/asset_loading.h"

#include <array>
#include <cstdlib>
#include <set>

namespace porteka::art_test {
namespace {

constexpr int kCell = 16;
constexpr std::array<QRgb, 8> kDigitInks = {
    qRgb(1, 66, 229),  qRgb(139, 55, 157),  qRgb(244, 0, 115), qRgb(255, 155, 11),
    qRgb(244, 207, 0), qRgb(255, 255, 255), qRgb(68, 68, 68),  qRgb(0, 0, 0),
};

class CellSheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sheet_ = LoadAsset("cells.png");
    ASSERT_EQ(sheet_.size(), QSize(256, 16));
  }
  QRgb At(int cell, int x, int y) const { return sheet_.pixel(cell * kCell + x, y); }
  int Count(int cell, QRgb colour) const {
    int count = 0;
    for (int y = 0; y < kCell; ++y) {
      for (int x = 0; x < kCell; ++x) count += At(cell, x, y) == colour ? 1 : 0;
    }
    return count;
  }
  double MeanBrightness(int cell) const {
    double sum = 0;
    for (int y = 0; y < kCell; ++y) {
      for (int x = 0; x < kCell; ++x) sum += Brightness(At(cell, x, y));
    }
    return sum / (kCell * kCell);
  }
  QImage sheet_;
};

TEST_F(CellSheetTest, IsAPaletteImageOfAtMost256Colours) {
  EXPECT_EQ(sheet_.format(), QImage::Format_Indexed8);
  EXPECT_LE(sheet_.colorCount(), 256);
  EXPECT_FALSE(sheet_.hasAlphaChannel());
}

TEST_F(CellSheetTest, EachDigitCellCarriesOnlyItsOwnInk) {
  for (int digit = 1; digit <= 8; ++digit) {
    const int cell = 4 + digit;
    for (int other = 1; other <= 8; ++other) {
      const int pixels = Count(cell, kDigitInks[other - 1]);
      if (other == digit) {
        // Large and bold: a good share of the cell is ink.
        EXPECT_GE(pixels, 30) << "digit " << digit;
      } else {
        EXPECT_EQ(pixels, 0) << "ink of " << other << " in the cell of " << digit;
      }
    }
  }
}

// Any digit ink on another content cell would read as a stray number.
TEST_F(CellSheetTest, OtherContentCellsCarryNoDigitInk) {
  for (int cell : {4, 14, 15}) {
    for (int digit = 1; digit <= 8; ++digit) {
      EXPECT_EQ(Count(cell, kDigitInks[digit - 1]), 0) << "ink of " << digit << " in cell " << cell;
    }
  }
}

TEST_F(CellSheetTest, DigitsAndBombSitOnTheOpenPlate) {
  // The corners are where the open plate shows through around a digit.
  for (int cell = 5; cell <= 12; ++cell) {
    for (int y : {0, 1, 14, 15}) {
      for (int x : {0, 1, 14, 15}) {
        EXPECT_EQ(At(cell, x, y), At(4, x, y)) << "cell " << cell << " at " << x << "," << y;
      }
    }
  }
  EXPECT_EQ(At(13, 0, 0), At(4, 0, 0));
  EXPECT_EQ(At(13, 15, 15), At(4, 15, 15));
}

TEST_F(CellSheetTest, MarksShareTheCoverPlateAndDifferInTheMiddle) {
  for (int cell : {1, 2}) {
    for (int i = 0; i < kCell; ++i) {
      EXPECT_EQ(At(cell, i, 0), At(0, i, 0));
      EXPECT_EQ(At(cell, i, 15), At(0, i, 15));
      EXPECT_EQ(At(cell, 0, i), At(0, 0, i));
      EXPECT_EQ(At(cell, 15, i), At(0, 15, i));
    }
  }
  const QRgb flag = At(1, 8, 8);
  const QRgb second = At(2, 8, 8);
  const QRgb keyboard = At(3, 8, 8);
  EXPECT_GT(qRed(flag), qGreen(flag) + 60);
  EXPECT_GT(qRed(flag), qBlue(flag) + 60);
  EXPECT_GT(qBlue(second), qRed(second) + 60);
  EXPECT_GT(qGreen(second), qRed(second) + 60);
  EXPECT_GT(qGreen(keyboard), qRed(keyboard) + 60);
  EXPECT_GT(qGreen(keyboard), qBlue(keyboard) + 60);
  const QRgb steel = At(0, 8, 8);
  EXPECT_LT(std::abs(qRed(steel) - qBlue(steel)), 40) << "the empty diamond stays grey steel";
}

TEST_F(CellSheetTest, CoversStandOutFromOpenCells) {
  std::set<QRgb> coverColours;
  for (int y = 0; y < kCell; ++y) {
    for (int x = 0; x < kCell; ++x) coverColours.insert(At(0, x, y));
  }
  EXPECT_GT(MeanBrightness(0), MeanBrightness(4) + 60);
  EXPECT_GE(coverColours.size(), 8u) << "the cover is shaded, not flat";
}

TEST_F(CellSheetTest, BombIsDarkAndRubbleComesInTwoShades) {
  EXPECT_LT(Brightness(At(13, 6, 10)), 150) << "middle of the bomb";
  EXPECT_LT(MeanBrightness(14), MeanBrightness(15)) << "inner-ring rubble is the darker";
  double red = 0;
  double blue = 0;
  for (int y = 0; y < kCell; ++y) {
    for (int x = 0; x < kCell; ++x) {
      red += qRed(At(14, x, y));
      blue += qBlue(At(14, x, y));
    }
  }
  EXPECT_GT(red, blue * 1.5) << "inner-ring rubble is reddish brown";
}

}  // namespace
}  // namespace porteka::art_test
