#include "tests/art/asset_loading.h"

#include <QByteArray>
#include <QFile>

#include <cstdint>

namespace porteka::art_test {
namespace {

constexpr int kSide = 128;
constexpr int kPixelOffset = 1078;

// Read byte by byte, as any BMP reader sees the file.
class TitleCardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QFile file(AssetPath("title.bmp"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    bytes_ = file.readAll();
    ASSERT_EQ(bytes_.size(), 17462);
  }
  uint32_t U16(int at) const { return uint32_t(uint8_t(bytes_[at])) | uint32_t(uint8_t(bytes_[at + 1])) << 8; }
  uint32_t U32(int at) const { return U16(at) | U16(at + 2) << 16; }
  // Colour of pixel (x, y), y counted from the top; rows are stored bottom-up.
  QRgb Pixel(int x, int y) const {
    const int entry = 54 + uint8_t(bytes_[kPixelOffset + (kSide - 1 - y) * kSide + x]) * 4;
    return qRgb(uint8_t(bytes_[entry + 2]), uint8_t(bytes_[entry + 1]), uint8_t(bytes_[entry]));
  }
  QByteArray bytes_;
};

TEST_F(TitleCardTest, HeadersDescribeA128Square8BitBottomUpBitmap) {
  EXPECT_EQ(bytes_.left(2), "BM");
  const struct {
    int at;
    uint32_t value;
  } fields[] = {{2, 17462}, {6, 0}, {10, kPixelOffset}, {14, 40}, {18, kSide}, {22, kSide}, {30, 0}, {34, 16384}};
  for (const auto& field : fields) EXPECT_EQ(U32(field.at), field.value) << "at byte " << field.at;
  EXPECT_EQ(U16(26), 1u) << "planes";
  EXPECT_EQ(U16(28), 8u) << "bits per pixel";
  EXPECT_TRUE(U32(46) == 0u || U32(46) == 256u) << "colours used";
  for (int entry = 0; entry < 256; ++entry) EXPECT_EQ(bytes_[54 + entry * 4 + 3], 0) << "palette entry " << entry;
  // Qt, which draws it, must see the same rows the other way up.
  const QImage image = LoadAsset("title.bmp");
  for (const QPoint p : {QPoint(0, 0), QPoint(64, 20), QPoint(100, 100), QPoint(127, 127), QPoint(5, 120)}) {
    EXPECT_EQ(image.pixel(p) & 0xFFFFFF, Pixel(p.x(), p.y()) & 0xFFFFFF) << p.x() << "," << p.y();
  }
}

TEST_F(TitleCardTest, ShowsWhiteTitleOnBlackAndAGreenFace) {
  const QImage image = LoadAsset("title.bmp");
  auto white = [](QRgb c) { return qRed(c) > 235 && qGreen(c) > 235 && qBlue(c) > 235; };
  auto yellowGreen = [](QRgb c) { return qGreen(c) > 150 && qGreen(c) > qBlue(c) + 80 && qRed(c) > 60; };
  EXPECT_GT(CountIn(image, QRect(0, 0, kSide, 48), white), 400) << "big white letters at the top";
  EXPECT_GT(CountIn(image, QRect(0, 48, kSide, 80), IsBlack), 2000) << "black ground";
  EXPECT_GT(CountIn(image, QRect(64, 64, 64, 64), yellowGreen), 1500) << "the face in the lower right";
  EXPECT_GT(CountIn(image, QRect(0, 110, 60, 18), white), 20) << "the version mark";
}

}  // namespace
}  // namespace porteka::art_test
