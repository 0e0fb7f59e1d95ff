#include "tests/art/asset_loading.h"

namespace porteka::art_test {
namespace {

constexpr int kFace = 24;

bool Blue(QRgb c) { return qBlue(c) > 180 && qRed(c) < 90; }
bool Red(QRgb c) { return qRed(c) > 180 && qGreen(c) < 90 && qBlue(c) < 90; }
bool Yellow(QRgb c) { return qRed(c) > 200 && qGreen(c) > 130 && qBlue(c) < 130; }

QRect Face(int face) { return QRect(face * kFace, 0, kFace, kFace); }

// Normal, won, lost: yellow faces on black, told apart by the red tongue and
// the blue tears.
TEST(FaceSheet, ThreeYellowFacesOnBlackTellableApart) {
  const QImage sheet = LoadAsset("faces.png");
  for (int face = 0; face < 3; ++face) {
    for (const QPoint corner : {QPoint(0, 0), QPoint(23, 0), QPoint(0, 23), QPoint(23, 23)}) {
      EXPECT_TRUE(IsBlack(sheet.pixel(face * kFace + corner.x(), corner.y()))) << "face " << face;
    }
    EXPECT_GT(CountIn(sheet, Face(face), Yellow), 200) << "face " << face;
    EXPECT_EQ(CountIn(sheet, Face(face), Blue) > 0, face == 2) << "face " << face;
  }
  EXPECT_GT(CountIn(sheet, Face(0), Red), 0) << "the laughing face's tongue";
  EXPECT_NE(sheet.copy(Face(0)), sheet.copy(Face(1)));
  EXPECT_NE(sheet.copy(Face(1)), sheet.copy(Face(2)));
}

TEST(FaceButton, StartsAsThePixelExactNormalFace) {
  const QImage normal = LoadAsset("faces.png").copy(Face(0)).convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(LoadAsset("face_button.png").convertToFormat(QImage::Format_RGB32), normal);
}

}  // namespace
}  // namespace porteka::art_test
