#include "tools/art/shape_fill.h"

#include "tools/art/colour_math.h"

#include <cmath>

namespace porteka::art {

namespace {
constexpr int kSamples = 8;
}  // namespace

void BlendPixel(QImage& image, int x, int y, QRgb colour, double coverage) {
  if (!image.rect().contains(x, y)) return;
  const double sourceAlpha = qAlpha(colour) / 255.0 * coverage;
  if (sourceAlpha <= 0.0) return;
  const QRgb under = image.pixel(x, y);
  const double underAlpha = qAlpha(under) / 255.0;
  const double outAlpha = sourceAlpha + underAlpha * (1.0 - sourceAlpha);
  auto channel = [&](int source, int dest) {
    return ClampChannel((source * sourceAlpha + dest * underAlpha * (1.0 - sourceAlpha)) / outAlpha);
  };
  image.setPixel(x, y, qRgba(channel(qRed(colour), qRed(under)), channel(qGreen(colour), qGreen(under)),
                             channel(qBlue(colour), qBlue(under)), ClampChannel(outAlpha * 255.0)));
}

void FillShape(QImage& image, const QRect& box, const Inside& inside, const Shader& shader) {
  const QRect area = box & image.rect();
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      int hits = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          if (inside(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples)) ++hits;
        }
      }
      if (hits == 0) continue;
      BlendPixel(image, x, y, shader(x + 0.5, y + 0.5), hits / double(kSamples * kSamples));
    }
  }
}

void FillShape(QImage& image, const QRect& box, const Inside& inside, QRgb colour) {
  FillShape(image, box, inside, [colour](double, double) { return colour; });
}

void FillPixels(QImage& image, const QRect& box, const Inside& inside, const Shader& shader) {
  const QRect area = box & image.rect();
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (inside(x + 0.5, y + 0.5)) image.setPixel(x, y, shader(x + 0.5, y + 0.5));
    }
  }
}

void FillPixels(QImage& image, const QRect& box, const Inside& inside, QRgb colour) {
  FillPixels(image, box, inside, [colour](double, double) { return colour; });
}

Inside Disc(double cx, double cy, double radius) {
  return [=](double px, double py) {
    return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= radius * radius;
  };
}

Inside Ellipse(double cx, double cy, double rx, double ry) {
  return [=](double px, double py) {
    const double dx = (px - cx) / rx;
    const double dy = (py - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
  };
}

Inside Capsule(double x0, double y0, double x1, double y1, double width) {
  return [=](double px, double py) {
    const double vx = x1 - x0;
    const double vy = y1 - y0;
    const double lengthSquared = vx * vx + vy * vy;
    double t = lengthSquared > 0.0 ? ((px - x0) * vx + (py - y0) * vy) / lengthSquared : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double dx = px - (x0 + t * vx);
    const double dy = py - (y0 + t * vy);
    return dx * dx + dy * dy <= width * width / 4.0;
  };
}

QRect BoxAround(double left, double top, double right, double bottom) {
  const int x0 = static_cast<int>(std::floor(left));
  const int y0 = static_cast<int>(std::floor(top));
  const int x1 = static_cast<int>(std::ceil(right));
  const int y1 = static_cast<int>(std::ceil(bottom));
  return QRect(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
}

}  // namespace porteka::art
