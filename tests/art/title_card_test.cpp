#include "tests/art/asset_loading.h"

#include <QByteArray>
#include <QFile>

#include <cstdint>

namespace porteka::art_test {
namespace {

constexpr int kSide = 128;

// Read byte by byte, as any BMP reader sees the file. A positive height means
// rows stored bottom-up, which the picture test below sees the right way up.
TEST(TitleCardTest, HeadersDescribeA128Square8BitBottomUpBitmap) {
  QFile file(AssetPath("title.bmp"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  ASSERT_EQ(bytes.size(), 17462);
  const auto Le16 = [&](int at) { return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8; };
  const auto Le32 = [&](int at) { return Le16(at) | Le16(at + 2) << 16; };
  EXPECT_EQ(bytes.left(2), "BM");
  const struct {
    int at;
    uint32_t value;
  } fields[] = {{2, 17462}, {6, 0}, {10, 54 + 256 * 4}, {14, 40}, {18, kSide}, {22, kSide}, {30, 0}, {34, 16384}};
  for (const auto& field : fields) EXPECT_EQ(Le32(field.at), field.value) << "at byte " << field.at;
  EXPECT_EQ(Le16(26), 1u) << "planes";
  EXPECT_EQ(Le16(28), 8u) << "bits per pixel";
  EXPECT_TRUE(Le32(46) == 0u || Le32(46) == 256u) << "colours used";
  for (int entry = 0; entry < 256; ++entry) EXPECT_EQ(bytes[54 + entry * 4 + 3], 0) << "palette entry " << entry;
}

TEST(TitleCardTest, ShowsWhiteTitleOnBlackAndAGreenFace) {
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
