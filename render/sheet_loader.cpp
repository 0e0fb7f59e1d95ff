#include "render/sheet_loader.h"

#include <cstring>

namespace porteka {

Surface ToSurface(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  Surface surface(rgb.width(), rgb.height());
  for (int y = 0; y < rgb.height(); ++y) {
    std::memcpy(surface.Row(y), rgb.constScanLine(y), static_cast<size_t>(rgb.width()) * sizeof(uint32_t));
  }
  return surface;
}

QImage AsImage(const Surface& surface) {
  return QImage(reinterpret_cast<const uchar*>(surface.pixels.data()), surface.width, surface.height,
                static_cast<qsizetype>(surface.width) * 4, QImage::Format_RGB32);
}

Surface LoadSheet(const QString& path, int width, int height) {
  const QImage image(path);
  if (image.width() != width || image.height() != height) return Surface(width, height);
  return ToSurface(image);
}

SpriteSheets LoadSpriteSheets() {
  return SpriteSheets{
      LoadSheet(QStringLiteral(":/art/cells.png"), 256, 16),
      LoadSheet(QStringLiteral(":/art/open_flash.png"), 480, 48),
      LoadSheet(QStringLiteral(":/art/explosion.png"), 2400, 120),
      LoadSheet(QStringLiteral(":/art/faces.png"), 72, 24),
  };
}

}  // namespace porteka
