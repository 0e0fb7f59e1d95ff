#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>
#include <functional>

#include <gtest/gtest.h>

namespace porteka::art_test {

// Loads a committed picture, failing the test when it is missing or unreadable.
inline QImage LoadAsset(const char* name) {
  QImage image(QStringLiteral(PORTEKA_ASSETS_DIR "/") + QString::fromLatin1(name));
  EXPECT_FALSE(image.isNull()) << "cannot load " << name;
  return image;
}

inline bool IsBlack(QRgb colour) { return qRed(colour) == 0 && qGreen(colour) == 0 && qBlue(colour) == 0; }

inline int Brightness(QRgb colour) { return qRed(colour) + qGreen(colour) + qBlue(colour); }

// How many pixels of `area` are of the wanted kind.
inline int CountIn(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& wanted) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) count += wanted(image.pixel(x, y)) ? 1 : 0;
  }
  return count;
}

}  // namespace porteka::art_test
