#include "tools/art/window_icon.h"

#include "tools/art/bomb_drawing.h"

namespace porteka::art {

QImage PaintWindowIcon() {
  QImage icon(kIconSize, kIconSize, QImage::Format_ARGB32);
  icon.fill(qRgba(0, 0, 0, 0));
  DrawBomb(icon, 12.5, 19.5, 10.8, true);
  return icon;
}

}  // namespace porteka::art
