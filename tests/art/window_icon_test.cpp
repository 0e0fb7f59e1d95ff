#include "tests/art/asset_loading.h"

namespace porteka::art_test {
namespace {

TEST(WindowIcon, Is32SquareInAtMost256ColoursWithAClearGround) {
  const QImage icon = LoadAsset("icon.png");
  ASSERT_EQ(icon.size(), QSize(32, 32));
  EXPECT_EQ(icon.format(), QImage::Format_Indexed8);
  EXPECT_LE(icon.colorCount(), 256);
  EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
  EXPECT_EQ(qAlpha(icon.pixel(16, 20)), 255) << "the bomb fills the middle";
}

}  // namespace
}  // namespace porteka::art_test
