#include "tools/art/window_icon.h"

#include "tools/art/bomb_drawing.h"

namespace porteka::art {

namespace {

QImage PaintIconAt(int size) {
  QImage icon(size, size, QImage::Format_ARGB32);
  icon.fill(qRgba(0, 0, 0, 0));
  const double scale = size / static_cast<double>(kIconSize);
  DrawBomb(icon, 12.5 * scale, 19.5 * scale, 10.8 * scale, true);
  return icon;
}

}  // namespace

QImage PaintWindowIcon() { return PaintIconAt(kIconSize); }

QImage PaintDesktopIcon(int size) {
  int drawn = kIconSize;
  while (size % drawn != 0) --drawn;
  return PaintIconAt(drawn).scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

}  // namespace porteka::art
