#pragma once

#include <QImage>
#include <array>

namespace porteka::art {

constexpr int kIconSize = 32;

// The 32 x 32 window icon: a lit bomb on a transparent ground.
QImage PaintWindowIcon();

// The sizes a Linux desktop looks for in the hicolor icon theme.
constexpr std::array<int, 7> kDesktopIconSizes = {16, 24, 32, 48, 64, 128, 256};

// The icon at any size. The bomb is drawn afresh at the largest size of at
// most 32 pixels that divides the size (16, 24 and 32 at their own size), and
// that picture is enlarged by a whole number, nearest neighbour: 48 is 24
// doubled, 256 is 32 eight times. Every pixel of the art stays a sharp square.
QImage PaintDesktopIcon(int size);

}  // namespace porteka::art
