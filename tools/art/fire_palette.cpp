#include "tools/art/fire_palette.h"

#include <algorithm>
#include <cmath>

namespace porteka::art {

QList<QRgb> FirePalette() {
  return {
      qRgb(0, 0, 0),       qRgb(44, 0, 0),      qRgb(84, 4, 0),      qRgb(124, 10, 0),
      qRgb(164, 20, 0),    qRgb(202, 34, 0),    qRgb(232, 58, 0),    qRgb(250, 92, 0),
      qRgb(255, 124, 0),   qRgb(255, 156, 10),  qRgb(255, 186, 28),  qRgb(255, 212, 64),
      qRgb(255, 232, 112), qRgb(255, 245, 168), qRgb(255, 252, 220), qRgb(255, 255, 255),
  };
}

HeatFrame::HeatFrame(int size) : size_(size), heat_(size * size, 0.0) {}

double HeatFrame::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= size_ || y >= size_) return 0.0;
  return heat_[y * size_ + x];
}

void HeatFrame::Raise(int x, int y, double heat) {
  if (x < 0 || y < 0 || x >= size_ || y >= size_) return;
  double& cell = heat_[y * size_ + x];
  cell = std::max(cell, std::min(heat, 1.0));
}

void HeatFrame::PaintInto(QImage& strip, int left) const {
  for (int y = 0; y < size_; ++y) {
    uchar* row = strip.scanLine(y);
    for (int x = 0; x < size_; ++x) {
      const bool border = x == 0 || y == 0 || x == size_ - 1 || y == size_ - 1;
      const long level = border ? 0 : std::lround(At(x, y) * 15.0);
      row[left + x] = static_cast<uchar>(std::clamp(level, 0L, 15L));
    }
  }
}

QImage MakeFireStrip(int frameSize, int frameCount) {
  QImage strip(frameSize * frameCount, frameSize, QImage::Format_Indexed8);
  strip.setColorTable(FirePalette());
  strip.fill(0);
  return strip;
}

}  // namespace porteka::art
