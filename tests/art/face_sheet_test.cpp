#include "tests/art/asset_loading.h"

namespace porteka::art_test {
namespace {

constexpr int kFace = 24;

QRect Face(int face) { return QRect(face * kFace, 0, kFace, kFace); }

// Normal, won and lost faces are told apart at a glance; the button starts
// as the normal face, pixel for pixel.
TEST(FaceSheet, ThreeDistinctFacesAndTheButtonStartsAsTheNormalOne) {
  const QImage sheet = LoadAsset("faces.png").convertToFormat(QImage::Format_RGB32);
  EXPECT_NE(sheet.copy(Face(0)), sheet.copy(Face(1)));
  EXPECT_NE(sheet.copy(Face(1)), sheet.copy(Face(2)));
  EXPECT_NE(sheet.copy(Face(0)), sheet.copy(Face(2)));
  EXPECT_EQ(LoadAsset("face_button.png").convertToFormat(QImage::Format_RGB32), sheet.copy(Face(0)));
}

}  // namespace
}  // namespace porteka::art_test
