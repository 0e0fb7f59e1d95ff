#include "tests/art/asset_loading.h"

namespace porteka::art_test {
namespace {

constexpr int kFace = 24;

bool Red(QRgb c) { return qRed(c) > 180 && qGreen(c) < 90 && qBlue(c) < 90; }
bool Blue(QRgb c) { return qBlue(c) > 180 && qRed(c) < 90; }
bool Yellow(QRgb c) { return qRed(c) > 200 && qGreen(c) > 130 && qBlue(c) < 130; }

int CountIn(const QImage& sheet, int face, bool (*wanted)(QRgb)) {
  int count = 0;
  for (int y = 0; y < kFace; ++y) {
    for (int x = 0; x < kFace; ++x) count += wanted(sheet.pixel(face * kFace + x, y)) ? 1 : 0;
  }
  return count;
}

TEST(FaceSheet, IsThreeFacesInSixteenColoursOnBlack) {
  const QImage sheet = LoadAsset("faces.png");
  ASSERT_EQ(sheet.size(), QSize(72, 24));
  EXPECT_EQ(sheet.format(), QImage::Format_Indexed8);
  EXPECT_LE(sheet.colorCount(), 16);
  for (int face = 0; face < 3; ++face) {
    const int left = face * kFace;
    for (const QPoint corner : {QPoint(0, 0), QPoint(23, 0), QPoint(0, 23), QPoint(23, 23)}) {
      EXPECT_TRUE(IsBlack(sheet.pixel(left + corner.x(), corner.y()))) << "face " << face;
    }
    EXPECT_GT(CountIn(sheet, face, Yellow), 200) << "face " << face << " is yellow";
  }
}

TEST(FaceSheet, FacesAreTellableApart) {
  const QImage sheet = LoadAsset("faces.png");
  ASSERT_EQ(sheet.size(), QSize(72, 24));
  EXPECT_NE(sheet.copy(0, 0, kFace, kFace), sheet.copy(kFace, 0, kFace, kFace));
  EXPECT_NE(sheet.copy(kFace, 0, kFace, kFace), sheet.copy(2 * kFace, 0, kFace, kFace));
  EXPECT_TRUE(CountIn(sheet, 0, Red) > 0) << "laughing face shows a red tongue";
  EXPECT_FALSE(CountIn(sheet, 0, Blue) > 0);
  EXPECT_FALSE(CountIn(sheet, 1, Blue) > 0);
  EXPECT_TRUE(CountIn(sheet, 2, Blue) > 0) << "crying face has blue tears";
}

TEST(FaceButton, StartsAsThePixelExactNormalFace) {
  const QImage sheet = LoadAsset("faces.png");
  const QImage button = LoadAsset("face_button.png");
  ASSERT_EQ(button.size(), QSize(kFace, kFace));
  ASSERT_EQ(sheet.size(), QSize(72, 24));
  for (int y = 0; y < kFace; ++y) {
    for (int x = 0; x < kFace; ++x) {
      ASSERT_EQ(button.pixel(x, y), sheet.pixel(x, y)) << "at " << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace porteka::art_test
