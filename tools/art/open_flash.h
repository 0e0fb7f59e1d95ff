#pragma once

#include <QImage>

namespace porteka::art {

constexpr int kFlashFrameSize = 48;
constexpr int kFlashFrames = 10;

// The 480 x 48 opening-flash strip: a white-hot disc about two cells across
// that bursts into orange and red sparks and dies away by the tenth frame.
QImage PaintOpenFlash();

}  // namespace porteka::art
