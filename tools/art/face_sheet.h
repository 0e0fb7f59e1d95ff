#pragma once

#include <QImage>
#include <QList>
#include <QRgb>

namespace porteka::art {

constexpr int kFaceSize = 24;
constexpr int kFaceCount = 3;

// The sixteen colours every face is drawn in.
QList<QRgb> FacePalette();

// The 72 x 24 face sheet on black, true colour: 0 laughing, 1 sunglasses
// (won), 2 crying (lost). Every pixel is already one of FacePalette().
QImage PaintFaceSheet();

}  // namespace porteka::art
