#include "tests/art/asset_loading.h"

#include <QByteArray>
#include <QFile>

#include <cstdint>

namespace porteka::art_test {
namespace {

constexpr int kSide = 128;
constexpr int kPixelOffset = 1078;

class TitleCardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QFile file(AssetPath("title.bmp"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    bytes_ = file.readAll();
    ASSERT_EQ(bytes_.size(), 17462);
  }
  uint32_t U16(int at) const {
    return uint32_t(uint8_t(bytes_[at])) | uint32_t(uint8_t(bytes_[at + 1])) << 8;
  }
  uint32_t U32(int at) const { return U16(at) | U16(at + 2) << 16; }
  // Colour of pixel (x, y), y counted from the top; rows are stored bottom-up.
  QRgb Pixel(int x, int y) const {
    const int index = uint8_t(bytes_[kPixelOffset + (kSide - 1 - y) * kSide + x]);
    const int entry = 54 + index * 4;
    return qRgb(uint8_t(bytes_[entry + 2]), uint8_t(bytes_[entry + 1]), uint8_t(bytes_[entry]));
  }
  int CountIn(int x0, int y0, int x1, int y1, bool (*wanted)(QRgb)) const {
    int count = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) count += wanted(Pixel(x, y)) ? 1 : 0;
    }
    return count;
  }
  QByteArray bytes_;
};

TEST_F(TitleCardTest, HeadersDescribeA128Square8BitBottomUpBitmap) {
  EXPECT_EQ(bytes_[0], 'B');
  EXPECT_EQ(bytes_[1], 'M');
  EXPECT_EQ(U32(2), 17462u);
  EXPECT_EQ(U32(6), 0u);
  EXPECT_EQ(U32(10), uint32_t(kPixelOffset));
  EXPECT_EQ(U32(14), 40u);
  EXPECT_EQ(U32(18), uint32_t(kSide));
  EXPECT_EQ(U32(22), uint32_t(kSide)) << "positive height: rows bottom-up";
  EXPECT_EQ(U16(26), 1u);
  EXPECT_EQ(U16(28), 8u);
  EXPECT_EQ(U32(30), 0u) << "uncompressed";
  EXPECT_EQ(U32(34), 16384u);
  EXPECT_TRUE(U32(46) == 0u || U32(46) == 256u);
  for (int entry = 0; entry < 256; ++entry) EXPECT_EQ(bytes_[54 + entry * 4 + 3], 0) << "palette entry " << entry;
}

TEST_F(TitleCardTest, QtReadsTheSamePicture) {
  const QImage image(AssetPath("title.bmp"));
  ASSERT_EQ(image.size(), QSize(kSide, kSide));
  for (const QPoint p : {QPoint(0, 0), QPoint(64, 20), QPoint(100, 100), QPoint(127, 127), QPoint(5, 120)}) {
    EXPECT_EQ(image.pixel(p) & 0xFFFFFF, Pixel(p.x(), p.y()) & 0xFFFFFF) << p.x() << "," << p.y();
  }
}

TEST_F(TitleCardTest, ShowsWhiteTitleOnBlackAndAGreenFace) {
  auto white = [](QRgb c) { return qRed(c) > 235 && qGreen(c) > 235 && qBlue(c) > 235; };
  auto black = [](QRgb c) { return IsBlack(c); };
  auto yellowGreen = [](QRgb c) { return qGreen(c) > 150 && qGreen(c) > qBlue(c) + 80 && qRed(c) > 60; };
  EXPECT_TRUE(IsBlack(Pixel(0, 0)));
  EXPECT_GT(CountIn(0, 0, kSide, 48, white), 400) << "big white letters at the top";
  EXPECT_GT(CountIn(0, 48, kSide, kSide, black), 2000) << "black ground";
  EXPECT_GT(CountIn(64, 64, kSide, kSide, yellowGreen), 1500) << "the face in the lower right";
  EXPECT_GT(CountIn(0, 110, 60, kSide, white), 20) << "the version mark";
}

}  // namespace
}  // namespace porteka::art_test
