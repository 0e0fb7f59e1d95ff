#include "tests/art/asset_loading.h"

#include <array>
#include <cstdlib>

namespace porteka::art_test {
namespace {

constexpr int kCell = 16;
constexpr std::array<QRgb, 8> kDigitInks = {
    qRgb(1, 66, 229),  qRgb(139, 55, 157),  qRgb(244, 0, 115), qRgb(255, 155, 11),
    qRgb(244, 207, 0), qRgb(255, 255, 255), qRgb(68, 68, 68),  qRgb(0, 0, 0),
};

class CellSheetTest : public ::testing::Test {
 protected:
  void SetUp() override { sheet_ = LoadAsset("cells.png"); }
  QRgb At(int cell, int x, int y) const { return sheet_.pixel(cell * kCell + x, y); }
  int Count(int cell, QRgb colour) const {
    return CountIn(sheet_, QRect(cell * kCell, 0, kCell, kCell), [colour](QRgb c) { return c == colour; });
  }
  double MeanOf(int cell, int (*channel)(QRgb)) const {
    double sum = 0;
    for (int i = 0; i < kCell * kCell; ++i) sum += channel(At(cell, i % kCell, i / kCell));
    return sum / (kCell * kCell);
  }
  QImage sheet_;
};

// A digit's exact ink in any other content cell would read as a stray number;
// the bomb is left out, being as black as the 8.
TEST_F(CellSheetTest, EachDigitInkIsInItsOwnCellOnly) {
  for (int cell = 4; cell < 16; ++cell) {
    for (int digit = 1; digit <= 8 && cell != 13; ++digit) {
      const int pixels = Count(cell, kDigitInks[digit - 1]);
      if (cell == 4 + digit) {
        EXPECT_GE(pixels, 30) << "digit " << digit << " is large and bold";
      } else {
        EXPECT_EQ(pixels, 0) << "ink of " << digit << " in cell " << cell;
      }
    }
  }
}

// The marks differ in the middle of the cover: red flag, cyan second mark,
// green keyboard mark, on the grey steel of the plain cover.
TEST_F(CellSheetTest, CoversMarksBombAndRubbleAreTellableApart) {
  const QRgb steel = At(0, 8, 8), flag = At(1, 8, 8), second = At(2, 8, 8), keyboard = At(3, 8, 8);
  EXPECT_LT(std::abs(qRed(steel) - qBlue(steel)), 40) << "the empty diamond stays grey";
  EXPECT_GT(qRed(flag), std::max(qGreen(flag), qBlue(flag)) + 60) << "red flag";
  EXPECT_GT(std::min(qGreen(second), qBlue(second)), qRed(second) + 60) << "cyan second mark";
  EXPECT_GT(qGreen(keyboard), std::max(qRed(keyboard), qBlue(keyboard)) + 60) << "green keyboard mark";
  EXPECT_GT(MeanOf(0, Brightness), MeanOf(4, Brightness) + 60) << "covers stand out from open cells";
  EXPECT_LT(Brightness(At(13, 6, 10)), 150) << "middle of the bomb";
  EXPECT_LT(MeanOf(14, Brightness), MeanOf(15, Brightness)) << "inner-ring rubble is the darker";
  EXPECT_GT(MeanOf(14, qRed), MeanOf(14, qBlue) * 1.5) << "inner-ring rubble is reddish brown";
}

}  // namespace
}  // namespace porteka::art_test
