#include "bench_art.h"

#include <QImage>
#include <QString>
#include <cstring>

#include "game/effects.h"
#include "tests/support/synthetic_art.h"

namespace porteka::bench {
namespace {

std::optional<Surface> LoadPng(const char* name, int width, int height) {
  const QImage image(QString::fromUtf8(PORTEKA_ASSETS_DIR) + "/" + QString::fromUtf8(name));
  if (image.width() != width || image.height() != height) return std::nullopt;
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  Surface surface(width, height);
  for (int y = 0; y < height; ++y) {
    std::memcpy(surface.Row(y), rgb.constScanLine(y), static_cast<size_t>(width) * sizeof(uint32_t));
  }
  return surface;
}

}  // namespace

std::optional<SpriteSheets> RealSheets() {
  auto cells = LoadPng("cells.png", 256, 16);
  auto flash = LoadPng("open_flash.png", kOpenSpriteSize * kOpenFrames, kOpenSpriteSize);
  auto blast = LoadPng("explosion.png", kExplosionSpriteSize * kExplosionFrames, kExplosionSpriteSize);
  auto faces = LoadPng("faces.png", 72, 24);
  if (!cells || !flash || !blast || !faces) return std::nullopt;
  return SpriteSheets{std::move(*cells), std::move(*flash), std::move(*blast), std::move(*faces)};
}

std::optional<SpriteSheets> SheetsNamed(std::string_view name) {
  if (name == "real") return RealSheets();
  return test::SyntheticSheets();
}

}  // namespace porteka::bench
