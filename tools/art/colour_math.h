#pragma once

#include <QColor>
#include <QRgb>

#include <algorithm>
#include <cmath>

namespace porteka::art {

inline int ClampChannel(double value) {
  return static_cast<int>(std::lround(std::clamp(value, 0.0, 255.0)));
}

// Linear blend of two colours, alpha included: t = 0 gives a, t = 1 gives b.
inline QRgb Mix(QRgb a, QRgb b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto channel = [t](int from, int to) { return ClampChannel(from + (to - from) * t); };
  return qRgba(channel(qRed(a), qRed(b)), channel(qGreen(a), qGreen(b)),
               channel(qBlue(a), qBlue(b)), channel(qAlpha(a), qAlpha(b)));
}

// Brightens (factor > 1) or darkens (factor < 1) a colour, keeping its alpha.
inline QRgb Scale(QRgb colour, double factor) {
  return qRgba(ClampChannel(qRed(colour) * factor), ClampChannel(qGreen(colour) * factor),
               ClampChannel(qBlue(colour) * factor), qAlpha(colour));
}

inline double Smoothstep(double edge0, double edge1, double x) {
  const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
  return t * t * (3.0 - 2.0 * t);
}

}  // namespace porteka::art
