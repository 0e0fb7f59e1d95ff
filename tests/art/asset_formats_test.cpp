#include <QDir>
#include <cstdlib>

#include "tests/art/asset_loading.h"

namespace porteka::art_test {
namespace {

// The board, face and title code copy fixed rectangles out of these pictures,
// so every size is exact, as it is for the icons installed under their size
// in the desktop's icon theme. All but the face button are palette images.
TEST(Assets, HaveTheirExactSizesAndFormats) {
  struct Asset {
    const char* name;
    QSize size;
    int maxColours;  // 0 for true colour
  };
  const Asset assets[] = {
      {"cells.png", {256, 16}, 256},      {"open_flash.png", {480, 48}, 16}, {"explosion.png", {2400, 120}, 16},
      {"faces.png", {72, 24}, 16},        {"face_button.png", {24, 24}, 0}, {"icon.png", {32, 32}, 256},
      {"title.bmp", {128, 128}, 256},     {"icon_16.png", {16, 16}, 256},    {"icon_24.png", {24, 24}, 256},
      {"icon_48.png", {48, 48}, 256},     {"icon_64.png", {64, 64}, 256},    {"icon_128.png", {128, 128}, 256},
      {"icon_256.png", {256, 256}, 256},
  };
  for (const Asset& asset : assets) {
    const QImage image = LoadAsset(asset.name);
    EXPECT_EQ(image.size(), asset.size) << asset.name;
    EXPECT_EQ(image.format(), asset.maxColours > 0 ? QImage::Format_Indexed8 : QImage::Format_RGB32) << asset.name;
    EXPECT_LE(image.colorCount(), asset.maxColours) << asset.name;
  }
}

// The desktop's icons: the sizes of at most 32 are drawn, the larger ones are
// whole-number enlargements of one of those, pixel for pixel, never smoothed.
TEST(DesktopIcons, AreSharpEnlargementsOfTheDrawnSizes) {
  const std::pair<const char*, const char*> enlargements[] = {
      {"icon_48.png", "icon_24.png"}, {"icon_64.png", "icon.png"},
      {"icon_128.png", "icon.png"},   {"icon_256.png", "icon.png"}};
  for (const auto& [large, drawn] : enlargements) {
    const QImage image = LoadAsset(large).convertToFormat(QImage::Format_ARGB32);
    const QImage source = LoadAsset(drawn).convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(image, source.scaled(image.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)) << large;
  }
}

// Every picture under assets/ is what a fresh run of make_art draws, pixel for
// pixel in the same format, and make_art draws nothing that is not committed.
TEST(Assets, AreWhatTheGeneratorDraws) {
  QDir fresh(QStringLiteral(PORTEKA_FRESH_ART_DIR));
  fresh.removeRecursively();
  ASSERT_EQ(std::system(PORTEKA_MAKE_ART " " PORTEKA_FRESH_ART_DIR " >/dev/null"), 0);
  const QStringList pictures = {QStringLiteral("*.png"), QStringLiteral("*.bmp")};
  EXPECT_EQ(fresh.entryList(pictures), QDir(QStringLiteral(PORTEKA_ASSETS_DIR)).entryList(pictures));
  for (const QString& name : fresh.entryList(pictures)) {
    const QImage made(fresh.filePath(name));
    const QImage committed = LoadAsset(qPrintable(name));
    EXPECT_EQ(made.format(), committed.format()) << qPrintable(name);
    EXPECT_TRUE(made.convertToFormat(QImage::Format_ARGB32) == committed.convertToFormat(QImage::Format_ARGB32))
        << qPrintable(name) << " differs from a fresh run of make_art: regenerate assets/";
  }
}

}  // namespace
}  // namespace porteka::art_test
