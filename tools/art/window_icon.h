#pragma once

#include <QImage>

namespace porteka::art {

constexpr int kIconSize = 32;

// The 32 x 32 window icon: a lit bomb on a transparent ground.
QImage PaintWindowIcon();

}  // namespace porteka::art
