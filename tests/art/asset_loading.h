#pragma once

#include <QColor>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

namespace porteka::art_test {

inline QString AssetPath(const char* name) {
  return QStringLiteral(PORTEKA_ASSETS_DIR "/") + QString::fromLatin1(name);
}

// Loads a committed picture, failing the test when it is missing or unreadable.
inline QImage LoadAsset(const char* name) {
  QImage image(AssetPath(name));
  EXPECT_FALSE(image.isNull()) << "cannot load " << name;
  return image;
}

inline bool IsBlack(QRgb colour) { return qRed(colour) == 0 && qGreen(colour) == 0 && qBlue(colour) == 0; }

inline int Brightness(QRgb colour) { return qRed(colour) + qGreen(colour) + qBlue(colour); }

}  // namespace porteka::art_test
