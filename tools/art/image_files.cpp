#include "tools/art/image_files.h"

#include <QByteArray>
#include <QFile>
#include <QImageWriter>

#include <cstdint>

namespace porteka::art {

namespace {

constexpr int kDotsPerMeter = 3780;  // 96 dpi
constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kPaletteEntries = 256;

void PutU16(QByteArray& bytes, uint32_t value) {
  bytes.append(static_cast<char>(value & 0xFF));
  bytes.append(static_cast<char>((value >> 8) & 0xFF));
}

void PutU32(QByteArray& bytes, uint32_t value) {
  PutU16(bytes, value & 0xFFFF);
  PutU16(bytes, value >> 16);
}

}  // namespace

bool SavePng(QImage image, const QString& path) {
  image.setDotsPerMeterX(kDotsPerMeter);
  image.setDotsPerMeterY(kDotsPerMeter);
  for (const QString& key : image.textKeys()) image.setText(key, QString());
  QImageWriter writer(path, "png");
  return writer.write(image);
}

bool SaveBmp8(const QImage& indexed, const QString& path) {
  if (indexed.format() != QImage::Format_Indexed8 || indexed.colorCount() > int(kPaletteEntries)) return false;
  const uint32_t width = static_cast<uint32_t>(indexed.width());
  const uint32_t height = static_cast<uint32_t>(indexed.height());
  const uint32_t stride = (width + 3) & ~3u;
  const uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + kPaletteEntries * 4;
  const uint32_t pixelBytes = stride * height;

  QByteArray bytes;
  bytes.append("BM");
  PutU32(bytes, pixelOffset + pixelBytes);
  PutU32(bytes, 0);  // two reserved words
  PutU32(bytes, pixelOffset);

  PutU32(bytes, kInfoHeaderSize);
  PutU32(bytes, width);
  PutU32(bytes, height);  // positive: rows stored bottom-up
  PutU16(bytes, 1);       // planes
  PutU16(bytes, 8);       // bits per pixel
  PutU32(bytes, 0);       // no compression
  PutU32(bytes, pixelBytes);
  PutU32(bytes, kDotsPerMeter);
  PutU32(bytes, kDotsPerMeter);
  PutU32(bytes, kPaletteEntries);
  PutU32(bytes, 0);  // every colour matters

  const QList<QRgb> table = indexed.colorTable();
  for (uint32_t i = 0; i < kPaletteEntries; ++i) {
    const QRgb colour = i < uint32_t(table.size()) ? table[int(i)] : 0u;
    bytes.append(static_cast<char>(qBlue(colour)));
    bytes.append(static_cast<char>(qGreen(colour)));
    bytes.append(static_cast<char>(qRed(colour)));
    bytes.append('\0');
  }
  for (int y = int(height) - 1; y >= 0; --y) {
    bytes.append(reinterpret_cast<const char*>(indexed.constScanLine(y)), int(width));
    for (uint32_t pad = width; pad < stride; ++pad) bytes.append('\0');
  }

  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return file.write(bytes) == bytes.size() && file.flush();
}

}  // namespace porteka::art
