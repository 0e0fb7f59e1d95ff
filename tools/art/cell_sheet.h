#pragma once

#include <QImage>
#include <QRgb>

#include <array>

namespace porteka::art {

constexpr int kCellSize = 16;
constexpr int kCellCount = 16;

// Ink of the digits 1 to 8 on the open cells (index 0 is the digit 1).
constexpr std::array<QRgb, 8> kDigitColours = {
    qRgb(1, 66, 229),   qRgb(139, 55, 157), qRgb(244, 0, 115), qRgb(255, 155, 11),
    qRgb(244, 207, 0),  qRgb(255, 255, 255), qRgb(68, 68, 68), qRgb(0, 0, 0),
};

// The 256 x 16 cell sheet, true colour: covers 0 to 3, the open plate 4,
// digits 5 to 12, the bomb 13 and the two kinds of rubble 14 and 15.
QImage PaintCellSheet();

}  // namespace porteka::art
