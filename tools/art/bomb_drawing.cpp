#include "tools/art/bomb_drawing.h"

#include "tools/art/colour_math.h"
#include "tools/art/shape_fill.h"

#include <cmath>

namespace porteka::art {

namespace {

constexpr QRgb kBodyDark = qRgb(6, 6, 12);
constexpr QRgb kBodyLit = qRgb(92, 98, 124);
constexpr QRgb kRimLight = qRgb(70, 58, 84);
constexpr QRgb kCapDark = qRgb(70, 74, 86);
constexpr QRgb kCapLight = qRgb(200, 204, 216);
constexpr QRgb kFuse = qRgb(214, 170, 104);
constexpr QRgb kFuseShade = qRgb(120, 82, 44);

QRgb BodyShade(double px, double py, double cx, double cy, double radius) {
  const double nx = (px - cx) / radius;
  const double ny = (py - cy) / radius;
  const double nz = std::sqrt(std::max(0.0, 1.0 - nx * nx - ny * ny));
  // Key light from the top left and a little purple bounce from below right.
  const double diffuse = std::max(0.0, -0.5 * nx - 0.6 * ny + 0.62 * nz);
  const double rim = std::max(0.0, 0.55 * nx + 0.65 * ny - 0.3 * nz);
  QRgb colour = Mix(kBodyDark, kBodyLit, std::pow(diffuse, 2.4));
  colour = Mix(colour, kRimLight, std::pow(rim, 2.0) * 0.8);
  const double hx = -0.36;
  const double hy = -0.40;
  const double glint = std::exp(-((nx - hx) * (nx - hx) + (ny - hy) * (ny - hy)) / 0.018);
  return Mix(colour, qRgb(255, 255, 255), glint);
}

}  // namespace

void DrawBomb(QImage& image, double cx, double cy, double radius, bool burning) {
  const double r = radius;
  // Cap and fuse leave the body at 45 degrees up and to the right.
  const double ux = std::sqrt(0.5);
  const double uy = -std::sqrt(0.5);
  const double capX = cx + ux * r * 0.93;
  const double capY = cy + uy * r * 0.93;
  const double capHalfLength = r * 0.22;
  const double capHalfWidth = r * 0.34;

  // Fuse first, so the cap covers its root.
  const double fuseWidth = std::max(1.2, r * 0.17);
  const double f0x = capX + ux * r * 0.15;
  const double f0y = capY + uy * r * 0.15;
  const double f1x = f0x + r * 0.10;
  const double f1y = f0y - r * 0.40;
  const double f2x = f1x + r * 0.38;
  const double f2y = f1y - r * 0.10;
  const QRect fuseBox = BoxAround(f0x - r, f2y - r, f2x + r, f0y + r);
  FillShape(image, fuseBox, Capsule(f0x, f0y, f1x, f1y, fuseWidth + 0.6), kFuseShade);
  FillShape(image, fuseBox, Capsule(f1x, f1y, f2x, f2y, fuseWidth + 0.6), kFuseShade);
  FillShape(image, fuseBox, Capsule(f0x - 0.2, f0y - 0.1, f1x - 0.2, f1y, fuseWidth * 0.6), kFuse);
  FillShape(image, fuseBox, Capsule(f1x, f1y - 0.2, f2x, f2y - 0.2, fuseWidth * 0.6), kFuse);

  // Body.
  FillShape(image, BoxAround(cx - r, cy - r, cx + r, cy + r), Disc(cx, cy, r),
            [=](double px, double py) { return BodyShade(px, py, cx, cy, r); });

  // Cap: a short metal collar turned along the fuse.
  auto inCap = [=](double px, double py) {
    const double along = (px - capX) * ux + (py - capY) * uy;
    const double across = -(px - capX) * uy + (py - capY) * ux;
    return std::abs(along) <= capHalfLength && std::abs(across) <= capHalfWidth;
  };
  auto capShade = [=](double px, double py) {
    const double across = -(px - capX) * uy + (py - capY) * ux;
    return Mix(kCapLight, kCapDark, (across / capHalfWidth + 1.0) / 2.0);
  };
  FillShape(image, BoxAround(capX - r * 0.5, capY - r * 0.5, capX + r * 0.5, capY + r * 0.5), inCap, capShade);

  if (burning) {
    const double sx = f2x + 0.3;
    const double sy = f2y - 0.1;
    const double s = std::max(1.6, r * 0.24);
    const QRect sparkBox = BoxAround(sx - s * 1.6, sy - s * 1.6, sx + s * 1.6, sy + s * 1.6);
    FillShape(image, sparkBox, Disc(sx, sy, s * 0.9), qRgba(255, 120, 0, 150));
    FillShape(image, sparkBox, Capsule(sx - s * 1.5, sy, sx + s * 1.5, sy, s * 0.32), qRgb(255, 200, 40));
    FillShape(image, sparkBox, Capsule(sx, sy - s * 1.5, sx, sy + s * 1.5, s * 0.32), qRgb(255, 200, 40));
    FillShape(image, sparkBox, Capsule(sx - s, sy - s, sx + s, sy + s, s * 0.26), qRgb(255, 150, 20));
    FillShape(image, sparkBox, Capsule(sx - s, sy + s, sx + s, sy - s, s * 0.26), qRgb(255, 150, 20));
    FillShape(image, sparkBox, Disc(sx, sy, s * 0.45), qRgb(255, 255, 230));
  }
}

}  // namespace porteka::art
